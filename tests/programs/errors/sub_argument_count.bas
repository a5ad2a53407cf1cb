' A Sub called with more arguments than it takes.
Sub Show(a As Integer, b As Integer)
    Print a + b
End Sub

Show 1, 2
Show 1, 2, 3
