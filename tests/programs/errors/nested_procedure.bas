' A Sub cannot start inside another Sub.
Sub Outer()
    Print "outer"
Sub Inner()
    Print "inner"
End Sub
