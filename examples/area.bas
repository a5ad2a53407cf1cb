' The areas of three rectangles, each 2 high, and their total.
Function Area(w As Double, h As Double) As Double
    Area = w * h
End Function

Dim total As Double, i As Integer
For i = 1 To 3
    total = total + Area(i, 2)
Next i
Print "Total: " & Format(total, "0.00")
