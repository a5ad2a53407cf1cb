' 200,000 lines of text written with Print # to a sequential file, then read back with
' Line Input #: each line's number and amount are cut out with InStr and Mid$, read with Val and
' summed. Prints the lines read and the two sums. The file goes to the folder TMPDIR names, else
' to the current one.
Option Explicit

Const COUNT As Long = 200000

Dim path As String, text As String, at As Integer, past As Integer
Dim i As Long, lines As Long, ids As Double, amounts As Double

path = Environ("TMPDIR")
If path = "" Then path = CurDir
path = path & "/brtl-lines.txt"

Open path For Output As #1
For i = 1 To COUNT
    Print #1, "line " & CStr(i) & " amount " & CStr(i / 4) & " end"
Next
Close #1

Open path For Input As #1
Do While Not EOF(1)
    Line Input #1, text
    lines = lines + 1
    past = InStr(6, text, " ")
    ids = ids + Val(Mid$(text, 6, past - 6))
    at = past + 8
    past = InStr(at, text, " ")
    amounts = amounts + Val(Mid$(text, at, past - at))
Loop
Close #1
Kill path
Print "checksum lines " & CStr(lines) & " " & Format(ids, "0") & " " & Format(amounts, "0.00")
