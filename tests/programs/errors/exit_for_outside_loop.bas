' Exit For outside any For loop.
Dim i As Integer
Do While i < 3
    i = i + 1
    If i = 2 Then Exit For
Loop
