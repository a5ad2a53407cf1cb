' Two procedures with the same name.
Sub Report()
    Print "first"
End Sub

Function Report() As Integer
    Report = 2
End Function

Report
