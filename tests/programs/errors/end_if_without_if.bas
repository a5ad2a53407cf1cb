' An End If with no block If open.
Dim n As Integer
If n = 0 Then Print "zero"
End If
