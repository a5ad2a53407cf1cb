' A Next with no For open.
Dim i As Integer
i = 3
Print i
Next i
