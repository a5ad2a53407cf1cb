' GoSub/Return (nested, inside a procedure with its own labels), On n GoTo and On n GoSub with
' n inside the list, 0, beyond the list and out of range, line numbers as targets, and Return
' without GoSub.
Option Explicit

Dim n As Integer, i As Integer, trail As String, depth As Integer

' A procedure's labels are its own: Square here is not the module's Square.
Function SumOfSquares(ByVal upTo As Integer) As Long
    Dim k As Integer, total As Long
    For k = 1 To upTo
        GoSub Square
    Next
    SumOfSquares = total
    Exit Function
Square:
    total = total + k * k
    Return
End Function

' Leaving the Sub from inside a GoSub drops its pending Return.
Sub Leave(ByVal times As Integer)
    GoSub Away
    Print "not reached"
    Exit Sub
Away:
    trail = trail & "away" & times & " "
    Exit Sub
End Sub

' The Returns pending in the caller are not this procedure's: Return here has no GoSub.
Sub StrayReturn()
    On Error GoTo NoGoSub
    Return
    Exit Sub
NoGoSub:
    Print "  StrayReturn: error"; Err
End Sub

Print "GoSub:"
n = 3: GoSub Square: Print "back with"; n
GoSub Outer: Print "after the nested GoSubs: "; trail
Print "SumOfSquares(4) ="; SumOfSquares(4); " and n is still"; n
trail = "": GoSub CallsFromGoSub: Print "  "; trail
GoTo OnGoTo

CallsFromGoSub:
    Leave 1: Leave 2
    StrayReturn
    Return

Square:
    n = n * n
    Return
Outer:
    trail = trail & "outer "
    depth = depth + 1
    If depth < 3 Then GoSub Outer
    trail = trail & "back" & depth & " "
    depth = depth - 1
    Return

OnGoTo:
Print "On GoTo:"
For i = 0 To 4
    trail = ""
    On i GoTo 100, 200, 300
    trail = "fell through"
    GoTo 400
100 trail = "first": GoTo 400
200 trail = "second": GoTo 400
300 trail = "third"
400 Print i; trail
Next

Print "On GoSub:"
trail = ""
For i = 0 To 4
    On i GoSub A, B, C
    trail = trail & "/"
Next
Print trail
n = 2: On n * 1.3 GoSub A, B, C        ' 2.6 rounds to 3
n = 2: On n + 0.5 GoSub A, B, C        ' 2.5 rounds to the even 2
Print trail

Print "Out of range and Return without GoSub:"
On Error GoTo Trapped
n = -1: On n GoTo 100, 200
n = 256: On n GoSub A
n = 255: On n GoSub A: Print "255 is allowed: nothing happens"
Return
Print "end"
End

A:  trail = trail & "a": Return
B:  trail = trail & "b": Return
C:  trail = trail & "c": Return

Trapped:
Print "  error"; Err; "- "; Error$; " with n ="; n
Resume Next
