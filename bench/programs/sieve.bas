' The sieve of Eratosthenes over the numbers up to 2,000,000, one Integer flag each, run three
' times; prints the count of primes and their total over the rounds.
Option Explicit

Const LIMIT As Long = 2000000
Const ROUNDS As Integer = 3

Dim flags(LIMIT) As Integer
Dim i As Long, j As Long, round As Integer
Dim primes As Long, total As Long

For round = 1 To ROUNDS
    For i = 2 To LIMIT
        flags(i) = 1
    Next
    i = 2
    Do While i * i <= LIMIT
        If flags(i) = 1 Then
            For j = i * i To LIMIT Step i
                flags(j) = 0
            Next
        End If
        i = i + 1
    Loop
    primes = 0
    For i = 2 To LIMIT
        If flags(i) = 1 Then primes = primes + 1
    Next
    total = total + primes
Next
Print "checksum sieve " & CStr(primes) & " " & CStr(total)
