' A variable declared twice in the same scope.
Dim count As Integer
Dim name As String, count As Long
count = 1
