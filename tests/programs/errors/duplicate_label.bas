' The same label twice in one procedure.
Dim n As Integer
Again:
n = n + 1
If n < 3 Then GoTo Again
Again:
Print n
