Version =20
VersionRequired =20
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    Width =9638
    RecordSource ="Price List"
    Caption ="Price List"
    Begin
        Begin Label
            BackStyle =0
            FontSize =9
            FontName ="Arial"
        End
        Begin TextBox
            FontSize =9
            FontName ="Arial"
            BackStyle =0
            BorderStyle =0
        End
        Begin Line
            BorderWidth =1
        End
        Begin Subform
            BorderStyle =0
        End
        Begin BreakLevel
            ControlSource ="CategoryName"
        End
        Begin BreakLevel
            ControlSource ="ProductName"
        End
        Begin FormHeader
            Height =720
            Name ="ReportHeader"
            Begin
                Begin Label
                    Left =0
                    Top =60
                    Width =6000
                    Height =480
                    FontSize =18
                    FontWeight =700
                    Name ="lblTitle"
                    Caption ="Price List"
                End
            End
        End
        Begin PageHeader
            Height =420
            Name ="PageHeaderSection"
            Begin
                Begin Label
                    Left =0
                    Top =60
                    Width =4400
                    Height =260
                    FontWeight =700
                    Name ="lblProduct"
                    Caption ="Product"
                End
                Begin Label
                    Left =4500
                    Top =60
                    Width =2200
                    Height =260
                    FontWeight =700
                    Name ="lblCategory"
                    Caption ="Category"
                End
                Begin Label
                    Left =6800
                    Top =60
                    Width =1300
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblPrice"
                    Caption ="Price"
                End
                Begin Label
                    Left =8200
                    Top =60
                    Width =1400
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblStock"
                    Caption ="In stock"
                End
                Begin Line
                    Left =0
                    Top =360
                    Width =9600
                    Name ="linHeader"
                End
            End
        End
        Begin Section
            Height =280
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =0
                    Top =0
                    Width =4400
                    Height =260
                    Name ="ProductName"
                    ControlSource ="ProductName"
                End
                Begin TextBox
                    Left =4500
                    Top =0
                    Width =2200
                    Height =260
                    Name ="CategoryName"
                    ControlSource ="CategoryName"
                End
                Begin TextBox
                    Left =6800
                    Top =0
                    Width =1300
                    Height =260
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="UnitPrice"
                    ControlSource ="UnitPrice"
                End
                Begin TextBox
                    Left =8200
                    Top =0
                    Width =1400
                    Height =260
                    TextAlign =3
                    Name ="UnitsInStock"
                    ControlSource ="UnitsInStock"
                End
            End
        End
        Begin PageFooter
            Height =400
            Name ="PageFooterSection"
            Begin
                Begin Line
                    Left =0
                    Top =20
                    Width =9600
                    Name ="linFooter"
                End
                Begin TextBox
                    Left =6600
                    Top =80
                    Width =3000
                    Height =260
                    TextAlign =3
                    Name ="PageNumber"
                    ControlSource ="=\"Page \" & [Page] & \" of \" & [Pages]"
                End
            End
        End
        Begin FormFooter
            Height =0
            Name ="ReportFooter"
        End
    End
End
