' Exit Sub inside a Function.
Function Half(ByVal n As Integer) As Integer
    If n = 0 Then Exit Sub
    Half = n \ 2
End Function
Print Half(4)
