' Error handling: Resume (retry), Resume Next, Resume label; a trap in a procedure without a
' handler taken by its caller (Resume then acts on the call); a trap inside a handler going to
' the caller; Err = n, Error n, Error$, Erl after line numbers, On Error Resume Next,
' On Error GoTo 0, Resume without an error; and at the end an unhandled error.
Option Explicit

Dim divisor As Integer, attempts As Integer, calls As Integer, r As Double, trail As String

' No handler here: its traps go to the caller.
Function Ratio(ByVal a As Integer, ByVal b As Integer) As Double
    calls = calls + 1
    Ratio = a / b
End Function

' A handler that traps itself: that trap goes to the caller.
Sub Fragile()
    On Error GoTo Handler
    Error 1001
    Print "not reached"
    Exit Sub
Handler:
    Print "  Fragile handles"; Err; "and fails in its handler"
    r = 1 / divisor
    Print "not reached either"
End Sub

' Handles its own trap and goes on; the caller sees no error.
Function SafeRoot(ByVal x As Double) As Double
    On Error GoTo Bad
    SafeRoot = Sqr(x)
    Exit Function
Bad:
    SafeRoot = -1
    Resume Done
Done:
End Function

' Two levels without a handler: the trap leaves both.
Function Outer(ByVal x As Integer) As Integer
    trail = trail & "outer "
    Outer = Ratio(6, x) + 1
    trail = trail & "outer-done "
End Function

Sub Unprotected()
    On Error GoTo Never
    On Error GoTo 0                     ' switched off again: the caller gets the trap
    Error 1002
Never:
    Print "not reached"
End Sub

On Error GoTo Retry
Print "Resume retries the statement:"
divisor = 0: attempts = 0
r = 12 / divisor
Print "  12 /"; divisor; "="; r; "after"; attempts; "attempt(s)"

On Error GoTo Skip
Print "Resume Next goes on after it:"
r = 5: r = Log(-1): Print "  r kept"; r; "and Err is"; Err

Print "A trap in a called procedure is the caller's:"
calls = 0: divisor = 0
On Error GoTo Retry
attempts = 0: r = Ratio(10, divisor) + 1
Print "  retried the call:"; r; "calls:"; calls
On Error GoTo Skip
r = 0: r = Ratio(1, 0): Print "  skipped the call: r ="; r; "calls:"; calls
Print "  a procedure with its own handler:"; SafeRoot(16); SafeRoot(-4); Err
divisor = 0: Call Fragile: Print "  back after Fragile"
Unprotected: Print "  back after Unprotected"   ' a line that starts with Name: is a label
Call Unprotected: Print "  back after Unprotected"

divisor = 0: attempts = 0: trail = ""
On Error GoTo Retry
Print "  two levels down:"; Outer(divisor); trail
On Error GoTo Skip
GoSub Risky: Print "  back from GoSub"

Print "Resume label, Erl and line numbers:"
On Error GoTo Numbered
10 r = 1
20 r = r / 0
30 Print "not reached"
40 r = CInt("x")
50 Print "not reached"
60 r = 2
r = r / 0                               ' a line without a number: Erl is the last number
Print "not reached"
Continue:

Print "Err = n, Error n and Error$:"
On Error Resume Next
Err = 53: Print "  Err ="; Err; "- "; Error$; " - "; Error$(11)
Err = 0: Error 9: Print "  Error 9 gave"; Err
Err = 0: Error 32000: Print "  Error 32000 gave"; Err
Err = 0: r = 1: r = r / 0: Print "  Resume Next in effect:"; Err
On Error GoTo Skip
Resume
Print "  and Err after the handler's Resume Next:"; Err

Print "Unhandled at last:"
On Error GoTo 0
Ratio 1, 0
Print "not reached"
End

Risky:
    r = Sqr(-1)
    Print "  Resume Next stays in the GoSub"
    Return

Retry:
    attempts = attempts + 1
    Print "  trap"; Err; "- "; Error$
    divisor = divisor + 2
    Resume
Skip:
    If Err < 1000 Then Print "  trap"; Err; "- "; Error$ Else Print "  trap"; Err
    Resume Next
Numbered:
    Print "  trap"; Err; "at line"; Erl
    If Erl = 20 Then Resume 40
    If Erl = 40 Then Resume 60
    Resume Continue
