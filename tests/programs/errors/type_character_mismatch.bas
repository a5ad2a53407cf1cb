' A type character that contradicts the declared type.
Dim count As Integer
count = 5
count$ = "five"
