' A block If that is never closed.
Dim n As Integer
n = 5
If n > 3 Then
    Print "big"
Else
    Print "small"
Print "end"
