' A Loop with no Do open.
Dim n As Integer
For n = 1 To 3
    Print n
Next
Loop
