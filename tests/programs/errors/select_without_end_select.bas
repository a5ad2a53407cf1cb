' A Select Case that is never closed.
Dim n As Integer
Select Case n
    Case 0
        Print "zero"
    Case Else
        Print "other"
Print "end"
