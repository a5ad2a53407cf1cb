' A night batch: a list of jobs run one after the other, each in its own error handler. A job
' can fail in a step it calls (the error comes back to the job's handler), can be retried after
' the handler repairs what was missing, can be skipped, or can give up, which hands the error
' on to the batch's own handler. Some routines keep line numbers so that the log can name the
' line that failed.
Option Explicit

Const ErrGiveUp = 4000
Dim Attempts As Integer
Dim LogLines As Integer

Sub LogIt(ByVal text As String)
    LogLines = LogLines + 1
    Print Format$(LogLines, "00"); " "; text
End Sub

' Reads the first number of a settings file. No handler here: errors go to the caller.
Function ReadSetting(ByVal path As String) As Integer
    Dim f As Integer, v As Integer
    f = FreeFile
    Open path For Input As #f
    Input #f, v
    Close #f
    ReadSetting = v
End Function

Function Ratio(ByVal a As Integer, ByVal b As Integer) As Integer
    Ratio = a \ b
End Function

' A job that needs a settings file: when it is missing, the handler writes a default one and
' runs the failing statement again.
Sub JobSettings()
    Dim v As Integer
    On Error GoTo Repair
    Attempts = 0
    v = ReadSetting("batch.ini")
    LogIt "settings: size is" & Str$(v) & " after" & Str$(Attempts) & " repair(s)"
    Exit Sub
Repair:
    Attempts = Attempts + 1
    LogIt "settings: error" & Str$(Err) & " (" & Error$ & "), writing a default file"
    If Attempts > 2 Then Exit Sub
    Dim f As Integer
    f = FreeFile
    Open "batch.ini" For Output As #f
    Print #f, 64
    Close #f
    Resume          ' the Open in ReadSetting runs again and now finds the file
End Sub

' A job of several steps in which a failing step is skipped and the others still run.
Sub JobSteps()
    Dim k As Integer, results As String
    On Error GoTo Skip
    For k = -2 To 2
        results = results & Str$(Ratio(12, k))
    Next k
    LogIt "steps:" & results
    Exit Sub
Skip:
    results = results & " skip"
    Resume Next
End Sub

' Numbered lines: Erl tells which one failed.
Sub JobNumbered()
    Dim a(1 To 3) As Integer, i As Integer
    On Error GoTo Failed
10  i = 3
20  a(i) = 30000
30  a(i) = a(i) + 2767
40  a(i) = a(i) + 1
50  LogIt "numbered: not reached"
    Exit Sub
Failed:
    LogIt "numbered: error" & Str$(Err) & " at line" & Str$(Erl) & ", value kept" & Str$(a(3))
    Exit Sub
End Sub

' An error inside the handler itself cannot be handled there: it goes to the caller.
Sub JobBadHandler()
    On Error GoTo Broken
    Error 11
    Exit Sub
Broken:
    LogIt "bad handler: handling error" & Str$(Err) & ", then failing in the handler"
    Error ErrGiveUp
End Sub

' Gives up: the same error is raised again for the batch to see.
Sub JobGiveUp()
    On Error GoTo Hopeless
    Open "no-such-dir/data.txt" For Input As #1
    Exit Sub
Hopeless:
    LogIt "give up: error" & Str$(Err) & ", passing it on"
    Error Err
End Sub

' On Error Resume Next: each failure is looked at and cleared.
Sub JobChecks()
    Dim x As Integer, problems As String
    On Error Resume Next
    x = CInt("70000")
    If Err Then problems = problems & Str$(Err): Err = 0
    x = Len(Mid$("abc", 0))
    If Err Then problems = problems & Str$(Err): Err = 0
    x = Asc("")
    If Err Then problems = problems & Str$(Err): Err = 0
    x = 7
    If Err Then problems = problems & " (none expected)"
    LogIt "checks: errors" & problems & "; x is" & Str$(x)
End Sub

' A handler can turn itself off: after On Error GoTo 0 the next error goes to the caller.
Sub JobSwitchOff()
    On Error GoTo Local
    Error 5
    LogIt "switch off: back after the first error"
    On Error GoTo 0
    Error 6
    LogIt "switch off: not reached"
    Exit Sub
Local:
    LogIt "switch off: own handler took error" & Str$(Err)
    Resume Next
End Sub

' GoSub and Return inside a job with a handler; an error in the subroutine goes to the handler.
Sub JobGoSub()
    Dim n As Integer, total As Long
    On Error GoTo Oops
    For n = 1 To 4
        GoSub AddSquare
    Next n
    LogIt "gosub: total" & Str$(total)
    Exit Sub
AddSquare:
    If n = 3 Then Error 9
    total = total + n * n
    Return
Oops:
    LogIt "gosub: error" & Str$(Err) & " for n =" & Str$(n)
    Resume Next
End Sub

Sub RunJob(ByVal number As Integer)
    Select Case number
        Case 1: JobSettings
        Case 2: JobSteps
        Case 3: JobNumbered
        Case 4: JobBadHandler
        Case 5: JobGiveUp
        Case 6: JobChecks
        Case 7: JobSwitchOff
        Case 8: JobGoSub
    End Select
End Sub

' ---- main: the batch ----
Dim job As Integer, failed As Integer
If Dir$("batch.ini") <> "" Then Kill "batch.ini"
On Error GoTo JobFailed
For job = 1 To 8
    RunJob job
    LogIt "job" & Str$(job) & " done, Err is now" & Str$(Err)
NextJob:
Next job
LogIt "batch over:" & Str$(failed) & " job(s) failed"
Kill "batch.ini"
On Error GoTo 0
' Resume with no error to resume from is itself an error, and an unhandled one ends the run.
Print "Now a Resume outside any handler:"
Resume
Print "not reached"
End

JobFailed:
failed = failed + 1
' An error number of our own (ErrGiveUp) gets the general message.
LogIt "job" & Str$(job) & " failed: error" & Str$(Err) & " " & Error$
Resume NextJob
