' A backup tool: it builds a small project folder, copies every file into a dated backup
' folder, checks each copy byte for byte, keeps a manifest, then rotates old backups by
' renaming and deleting with wildcards. Directory listings come back in no particular order,
' so they are sorted before they are shown.
Option Explicit

Const Source = "project"
Const BackupRoot = "backups"

Dim Names() As String, NameCount As Integer

' Lists the files of a folder matching a pattern, sorted by name.
Sub ListFolder(ByVal pattern As String)
    Dim f As String, i As Integer, j As Integer, t As String
    NameCount = 0
    ReDim Names(1 To 1)
    f = Dir$(pattern)
    Do While f <> ""
        NameCount = NameCount + 1
        ReDim Preserve Names(1 To NameCount)
        Names(NameCount) = f
        f = Dir$
    Loop
    For i = 2 To NameCount
        t = Names(i)
        For j = i - 1 To 1 Step -1
            If Names(j) <= t Then Exit For
            Names(j + 1) = Names(j)
        Next j
        Names(j + 1) = t
    Next i
End Sub

Sub WriteText(ByVal path As String, ByVal text As String)
    Dim f As Integer
    f = FreeFile
    Open path For Output As #f
    Print #f, text
    Close #f
End Sub

' The whole content of a file, read in Binary mode.
Function ReadAll(ByVal path As String) As String
    Dim f As Integer
    f = FreeFile
    Open path For Binary Access Read As #f
    ReadAll = Input$(LOF(f), #f)
    Close #f
End Function

Function SameFiles(ByVal a As String, ByVal b As String) As Boolean
    If FileLen(a) <> FileLen(b) Then Exit Function
    SameFiles = (ReadAll(a) = ReadAll(b))
End Function

Sub MakeProject()
    Dim f As Integer, k As Integer
    MkDir Source
    WriteText Source & "/readme.txt", "A project to back up."
    WriteText Source & "/notes.txt", "Remember the milk." & Chr$(9) & "And the bread."
    f = FreeFile
    Open Source & "/data.bin" For Binary As #f
    For k = 0 To 255
        Put #f, , CByte0(k)
    Next k
    Close #f
    ' A text file whose lines end with CR LF, as some other systems write them.
    f = FreeFile
    Open Source & "/dos.txt" For Binary As #f
    Put #f, , "first line" & Chr$(13) & Chr$(10) & "second line" & Chr$(13) & Chr$(10)
    Close #f
    f = FreeFile
    Open Source & "/log.txt" For Output As #f
    Print #f, "started"
    Close #f
    f = FreeFile
    Open Source & "/log.txt" For Append As #f
    Print #f, "went on"; Tab(12); "and on"
    Print #f, "stopped", "at last"
    Close #f
End Sub

' One byte as a one-character string (Put of a String writes just its bytes in Binary mode).
Function CByte0(ByVal k As Integer) As String
    CByte0 = Chr$(k)
End Function

Function BackupOnce(ByVal folder As String) As Long
    Dim i As Integer, total As Long, m As Integer
    MkDir folder
    ListFolder Source & "/*.*"
    m = FreeFile
    Open folder & "/manifest.txt" For Output As #m
    For i = 1 To NameCount
        FileCopy Source & "/" & Names(i), folder & "/" & Names(i)
        Write #m, Names(i), FileLen(folder & "/" & Names(i)), SameFiles(Source & "/" & Names(i), folder & "/" & Names(i))
        total = total + FileLen(folder & "/" & Names(i))
    Next i
    Close #m
    BackupOnce = total
End Function

Sub ShowManifest(ByVal folder As String)
    Dim f As Integer, nm As String, size As Long, ok As Integer
    f = FreeFile
    Open folder & "/manifest.txt" For Input As #f
    Do Until EOF(f)
        Input #f, nm, size, ok
        Print "  "; nm; Tab(16); Format$(CStr(size), "@@@@@"); IIf(ok, "  verified", "  DIFFERENT")
    Loop
    Close #f
End Sub

' ---- main ----
Dim total As Long, i As Integer, f As Integer, textLine As String, n As Integer

MakeProject
ListFolder Source & "/*.txt"
Print "Text files:";
For i = 1 To NameCount: Print " "; Names(i);: Next i
Print

' Line Input drops the carriage return of a CR LF line end too.
f = FreeFile
Open Source & "/dos.txt" For Input As #f
Do Until EOF(f)
    Line Input #f, textLine
    n = n + 1
    Print "dos.txt line"; n; "["; textLine; "]"; Len(textLine)
Loop
Close #f
f = FreeFile
Open Source & "/log.txt" For Input As #f
Do Until EOF(f)
    Line Input #f, textLine
    Print "log: ["; textLine; "]"
Loop
Close #f

MkDir BackupRoot
total = BackupOnce(BackupRoot & "/monday")
Print "Monday's backup:"; total; "bytes"
ShowManifest BackupRoot & "/monday"

' Change a file: the next backup differs from the first there.
WriteText Source & "/notes.txt", "Remember the milk, the bread and the eggs."
total = BackupOnce(BackupRoot & "/tuesday")
Print "Tuesday's backup:"; total; "bytes; notes changed:"; _
      Not SameFiles(BackupRoot & "/monday/notes.txt", BackupRoot & "/tuesday/notes.txt")

' Rotation: the oldest backup is renamed, then emptied with a wildcard and removed.
Name BackupRoot & "/monday" As BackupRoot & "/old"
ListFolder BackupRoot & "/old/*.txt"
Print "Old backup holds"; NameCount; "text files"
Kill BackupRoot & "/old/*.*"
ListFolder BackupRoot & "/old/*.*"
Print "After Kill *.*:"; NameCount; "files"
RmDir BackupRoot & "/old"
Print "Old folder gone: "; Dir$(BackupRoot & "/old", 16) = ""

' Errors a careless script would run into.
On Error Resume Next
MkDir BackupRoot & "/tuesday"
Print "MkDir of an existing folder: error"; Err: Err = 0
RmDir BackupRoot & "/tuesday"
Print "RmDir of a folder with files refused:"; Err <> 0: Err = 0
FileCopy Source & "/missing.txt", BackupRoot & "/x.txt"
Print "FileCopy of a missing file: error"; Err: Err = 0
Name Source & "/readme.txt" As Source & "/notes.txt"
Print "Name onto an existing file: error"; Err: Err = 0
On Error GoTo 0

' Clean up everything this program made.
Kill BackupRoot & "/tuesday/*.*": RmDir BackupRoot & "/tuesday": RmDir BackupRoot
Kill Source & "/*.*": RmDir Source
Print "Cleaned up: "; Dir$(Source, 16) = "" And Dir$(BackupRoot, 16) = ""
