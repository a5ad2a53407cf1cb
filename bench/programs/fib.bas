' Recursive Fibonacci on Longs: fib(32) by the definition; prints the result and the number
' of calls made.
Option Explicit

Dim calls As Long

Function Fib(ByVal n As Long) As Long
    calls = calls + 1
    If n < 2 Then
        Fib = n
    Else
        Fib = Fib(n - 1) + Fib(n - 2)
    End If
End Function

Dim result As Long
result = Fib(32)
Print "checksum fib " & CStr(result) & " " & CStr(calls)
