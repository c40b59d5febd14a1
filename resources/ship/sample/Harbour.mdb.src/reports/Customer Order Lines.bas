Version =20
VersionRequired =20
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    Width =9240
    RecordSource ="Order Lines"
    Caption ="Customer Order Lines"
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
            ControlSource ="OrderID"
        End
        Begin BreakLevel
            ControlSource ="ProductName"
        End
        Begin Section
            Height =260
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =0
                    Top =0
                    Width =800
                    Height =240
                    TextAlign =3
                    Name ="OrderID"
                    ControlSource ="OrderID"
                End
                Begin TextBox
                    Left =900
                    Top =0
                    Width =1300
                    Height =240
                    Format ="Short Date"
                    Name ="OrderDate"
                    ControlSource ="OrderDate"
                End
                Begin TextBox
                    Left =2300
                    Top =0
                    Width =3900
                    Height =240
                    Name ="ProductName"
                    ControlSource ="ProductName"
                End
                Begin TextBox
                    Left =6300
                    Top =0
                    Width =900
                    Height =240
                    TextAlign =3
                    Name ="Quantity"
                    ControlSource ="Quantity"
                End
                Begin TextBox
                    Left =7300
                    Top =0
                    Width =1900
                    Height =240
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="LineTotal"
                    ControlSource ="LineTotal"
                End
            End
        End
        Begin FormFooter
            Height =300
            Name ="ReportFooter"
            Begin
                Begin TextBox
                    Left =7300
                    Top =20
                    Width =1900
                    Height =260
                    FontWeight =700
                    Format ="#,##0.00"
                    TextAlign =3
                    Name ="CustomerTotal"
                    ControlSource ="=Sum([LineTotal])"
                End
            End
        End
    End
End
