' A record assigned to a number.
Type Pair
    A As Integer
    B As Integer
End Type
Dim p As Pair, n As Integer
p.A = 1
n = p
