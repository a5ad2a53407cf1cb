' A constant cannot be assigned.
Const Limit = 10
Dim n As Integer
n = Limit
Limit = 20
