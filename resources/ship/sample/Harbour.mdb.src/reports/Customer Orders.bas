Version =20
VersionRequired =20
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    Width =9638
    RecordSource ="Customers"
    Caption ="Customer Orders"
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
            ControlSource ="CompanyName"
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
                    Caption ="Customer Orders"
                End
            End
        End
        Begin Section
            KeepTogether = NotDefault
            Height =1100
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =0
                    Top =60
                    Width =4800
                    Height =320
                    FontSize =11
                    FontWeight =700
                    Name ="CompanyName"
                    ControlSource ="CompanyName"
                End
                Begin TextBox
                    Left =4900
                    Top =60
                    Width =2200
                    Height =320
                    Name ="City"
                    ControlSource ="City"
                End
                Begin TextBox
                    Left =7200
                    Top =60
                    Width =2400
                    Height =320
                    Name ="Country"
                    ControlSource ="Country"
                End
                Begin Subform
                    Left =360
                    Top =480
                    Width =9240
                    Height =560
                    CanGrow = NotDefault
                    Name ="subOrderLines"
                    SourceObject ="Report.Customer Order Lines"
                    LinkChildFields ="CustomerID"
                    LinkMasterFields ="CustomerID"
                End
            End
        End
        Begin FormFooter
            Height =0
            Name ="ReportFooter"
        End
    End
End
