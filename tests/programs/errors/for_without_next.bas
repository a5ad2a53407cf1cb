' A For whose Next is missing.
Dim i As Integer, total As Integer
For i = 1 To 10
    total = total + i
Print total
