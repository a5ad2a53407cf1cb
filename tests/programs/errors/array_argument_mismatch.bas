' A Long array passed for an Integer array parameter.
Sub Fill(a() As Integer)
    a(0) = 1
End Sub
Dim values(3) As Long
Fill values()
