' Exit Do inside a For loop, outside any Do loop.
Dim i As Integer
For i = 1 To 3
    If i = 2 Then Exit Do
Next
