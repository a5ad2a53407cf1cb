' A project folder: made with MkDir and Open, listed with Dir, tidied with Name, FileCopy and Kill.
Dim k As Integer, n As Integer, bytes As Long, all As Integer, f As String, seen As String
MkDir "project": MkDir "project\old"
For k = 1 To 3: Open "project\notes" & k & ".txt" For Output As #1: Print #1, String(k * 10, "n"): Close #1: Next
Open "project\build.log" For Output As #1: Print #1, "ok": Close #1
? "Made: "; Dir("project", 16); ", attributes"; GetAttr("project"); ", a directory: "; IsDir("project")
' Dir with a pattern starts a listing, Dir without one goes on with it (in the system's order).
f = Dir("project\*.TXT")
Do While f <> ""
    n = n + 1: bytes = bytes + FileLen("project\" & f): seen = seen & "<" & f & ">"
    f = Dir
Loop
? n; "text files of"; bytes; "bytes; notes2.txt listed:"; InStr(seen, "<notes2.txt>") > 0; "; build.log listed:"; InStr(seen, "<build.log>") > 0
f = Dir("project\*.*", 16)
While f <> "": all = all + 1: f = Dir: Wend
? "With directories:"; all; "entries"
' Move the log into the subdirectory under a new name, and keep a copy of the first notes.
Name "project\build.log" As "project\old\build-1.log"
FileCopy "project\notes1.txt", "project\old\notes1.bak"
? "Moved: ["; Dir("project\build.log"); "] -> ["; Dir("project\old\*.log"); "], copy of"; FileLen("project\old\notes1.bak"); "bytes"
ChDir "project": ? "Drive and root: "; Mid(CurDir, 2, 2) = ":\"; ", in ...\"; Right(CurDir$, 7): ChDir ".."
' Kill with a wildcard removes every match; a pattern that matches nothing is a trap.
On Error GoTo Report
Kill "project\notes*.txt": ? "After Kill: ["; Dir("project\*.txt"); "]"
Kill "project\*.txt"
' A directory that is not empty cannot be removed; empty it first.
RmDir "project\old"
Kill "project\old\*.*": RmDir "project\old": RmDir "project"
? "Removed: ["; Dir("project", 16); "]"
End
Report:
? "Trapped"; Err; "- "; Error$
Resume Next
