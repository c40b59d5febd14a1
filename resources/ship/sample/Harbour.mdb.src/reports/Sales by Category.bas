Version =20
VersionRequired =20
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    Width =9638
    RecordSource ="Sales by Category"
    Caption ="Sales by Category"
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
            GroupHeader = NotDefault
            GroupFooter = NotDefault
            ControlSource ="CategoryName"
        End
        Begin BreakLevel
            ControlSource ="OrderDate"
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
                    Caption ="Sales by Category"
                End
            End
        End
        Begin PageHeader
            Height =420
            Name ="PageHeaderSection"
            Begin
                Begin Label
                    Left =360
                    Top =60
                    Width =3900
                    Height =260
                    FontWeight =700
                    Name ="lblProduct"
                    Caption ="Product"
                End
                Begin Label
                    Left =4320
                    Top =60
                    Width =900
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblOrder"
                    Caption ="Order"
                End
                Begin Label
                    Left =5280
                    Top =60
                    Width =1300
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblDate"
                    Caption ="Date"
                End
                Begin Label
                    Left =6640
                    Top =60
                    Width =1100
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblQuantity"
                    Caption ="Quantity"
                End
                Begin Label
                    Left =7800
                    Top =60
                    Width =1800
                    Height =260
                    FontWeight =700
                    TextAlign =3
                    Name ="lblAmount"
                    Caption ="Amount"
                End
                Begin Line
                    Left =0
                    Top =360
                    Width =9600
                    Name ="linHeader"
                End
            End
        End
        Begin BreakHeader
            KeepTogether = NotDefault
            Height =400
            Name ="GroupHeader0"
            Begin
                Begin TextBox
                    Left =0
                    Top =60
                    Width =6000
                    Height =300
                    FontSize =11
                    FontWeight =700
                    Name ="CategoryName"
                    ControlSource ="CategoryName"
                End
            End
        End
        Begin Section
            Height =280
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =360
                    Top =0
                    Width =3900
                    Height =260
                    Name ="ProductName"
                    ControlSource ="ProductName"
                End
                Begin TextBox
                    Left =4320
                    Top =0
                    Width =900
                    Height =260
                    TextAlign =3
                    Name ="OrderID"
                    ControlSource ="OrderID"
                End
                Begin TextBox
                    Left =5280
                    Top =0
                    Width =1300
                    Height =260
                    Format ="Short Date"
                    TextAlign =3
                    Name ="OrderDate"
                    ControlSource ="OrderDate"
                End
                Begin TextBox
                    Left =6640
                    Top =0
                    Width =1100
                    Height =260
                    TextAlign =3
                    Name ="Quantity"
                    ControlSource ="Quantity"
                End
                Begin TextBox
                    Left =7800
                    Top =0
                    Width =1800
                    Height =260
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="LineTotal"
                    ControlSource ="LineTotal"
                End
            End
        End
        Begin BreakFooter
            Height =480
            Name ="GroupFooter1"
            Begin
                Begin Line
                    Left =6640
                    Top =30
                    Width =2960
                    Name ="linGroup"
                End
                Begin TextBox
                    Left =360
                    Top =90
                    Width =6200
                    Height =280
                    FontWeight =700
                    Name ="GroupCaption"
                    ControlSource ="=\"Total for \" & [CategoryName]"
                End
                Begin TextBox
                    Left =7800
                    Top =90
                    Width =1800
                    Height =280
                    FontWeight =700
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="GroupTotal"
                    ControlSource ="=Sum([LineTotal])"
                End
            End
        End
        Begin PageFooter
            Height =360
            Name ="PageFooterSection"
            Begin
                Begin Label
                    Left =0
                    Top =60
                    Width =4000
                    Height =260
                    Name ="lblCompany"
                    Caption ="Harbour Chandlery"
                End
            End
        End
        Begin FormFooter
            Height =600
            Name ="ReportFooter"
            Begin
                Begin Line
                    Left =0
                    Top =60
                    Width =9600
                    Name ="linGrand"
                End
                Begin Label
                    Left =360
                    Top =160
                    Width =3000
                    Height =300
                    FontSize =11
                    FontWeight =700
                    Name ="lblGrand"
                    Caption ="Grand total"
                End
                Begin TextBox
                    Left =7400
                    Top =160
                    Width =2200
                    Height =300
                    FontSize =11
                    FontWeight =700
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="GrandTotal"
                    ControlSource ="=Sum([LineTotal])"
                End
            End
        End
    End
End
