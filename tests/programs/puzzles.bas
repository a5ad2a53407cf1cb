' Classic recursive puzzles, each checked against a count known beforehand: the towers of Hanoi,
' permutations in order, the eight queens, flood-filling the regions of a map, Ackermann's
' function and a Fibonacci table remembered between calls. A recursion without end is caught
' as "Out of stack space".
Option Explicit

Dim HanoiMoves As Long, HanoiShown As String
Dim Perms As String, PermCount As Integer
Dim QueenCol(1 To 10) As Integer, Solutions As Long, FirstSolution As String
Dim Grid(1 To 6) As String

Sub Hanoi(ByVal n As Integer, ByVal from As String, ByVal dest As String, ByVal via As String)
    If n = 0 Then Exit Sub
    Hanoi n - 1, from, via, dest
    HanoiMoves = HanoiMoves + 1
    If HanoiMoves <= 7 Then HanoiShown = HanoiShown & from & dest & " "
    Hanoi n - 1, via, dest, from
End Sub

' All orderings of the letters of rest, in alphabetical order when rest is sorted.
Sub Permute(ByVal done As String, ByVal rest As String)
    Dim i As Integer
    If Len(rest) = 0 Then
        PermCount = PermCount + 1
        If PermCount <= 8 Or PermCount = 24 Then Perms = Perms & done & " "
        Exit Sub
    End If
    For i = 1 To Len(rest)
        Permute done & Mid$(rest, i, 1), Left$(rest, i - 1) & Mid$(rest, i + 1)
    Next i
End Sub

Function Safe(ByVal row As Integer, ByVal col As Integer) As Boolean
    Dim r As Integer
    For r = 1 To row - 1
        If QueenCol(r) = col Or Abs(QueenCol(r) - col) = row - r Then Exit Function
    Next r
    Safe = True
End Function

Sub PlaceQueen(ByVal row As Integer, ByVal n As Integer)
    Dim col As Integer, k As Integer
    If row > n Then
        Solutions = Solutions + 1
        If Solutions = 1 Then
            For k = 1 To n: FirstSolution = FirstSolution & Chr$(Asc("a") + QueenCol(k) - 1) & k & " ": Next k
        End If
        Exit Sub
    End If
    For col = 1 To n
        If Safe(row, col) Then
            QueenCol(row) = col
            PlaceQueen row + 1, n
        End If
    Next col
End Sub

' Fills the region of land ("#") that contains (r, c) with the given mark; returns its size.
Function Fill(ByVal r As Integer, ByVal c As Integer, ByVal mark As String) As Integer
    If r < 1 Or r > 6 Then Exit Function
    If c < 1 Or c > Len(Grid(r)) Then Exit Function
    If Mid$(Grid(r), c, 1) <> "#" Then Exit Function
    Mid$(Grid(r), c, 1) = mark
    Fill = 1 + Fill(r - 1, c, mark) + Fill(r + 1, c, mark) + Fill(r, c - 1, mark) + Fill(r, c + 1, mark)
End Function

Function Ackermann(ByVal m As Long, ByVal n As Long) As Long
    If m = 0 Then
        Ackermann = n + 1
    ElseIf n = 0 Then
        Ackermann = Ackermann(m - 1, 1)
    Else
        Ackermann = Ackermann(m - 1, Ackermann(m, n - 1))
    End If
End Function

' Fibonacci numbers in Currency (exact to the last digit up to Fib(70)), remembered between calls.
Function Fib(ByVal n As Integer) As Currency
    Static known(0 To 90) As Currency, calls As Long
    calls = calls + 1
    If n < 0 Then Fib = calls: Exit Function    ' Fib(-1) reports how often it was called
    If n < 2 Then Fib = n: Exit Function
    If known(n) = 0 Then known(n) = Fib(n - 1) + Fib(n - 2)
    Fib = known(n)
End Function

Function Gcd(ByVal a As Long, ByVal b As Long) As Long
    If b = 0 Then Gcd = a Else Gcd = Gcd(b, a Mod b)
End Function

Function Endless(ByVal n As Long) As Long
    Endless = Endless(n + 1) + 1
End Function

' ---- main ----
Dim n As Integer, r As Integer, c As Integer, size As Integer, regions As String, mark As Integer
Dim counts As String

Hanoi 10, "A", "C", "B"
Print "Hanoi, 10 discs:"; HanoiMoves; "moves ("; 2 ^ 10 - 1; "expected ), first: "; HanoiShown

Permute "", "ABCD"
Print "Permutations of ABCD:"; PermCount; ": "; Perms

For n = 1 To 8
    Solutions = 0: FirstSolution = ""
    PlaceQueen 1, n
    counts = counts & Str$(Solutions)
Next n
Print "Queens on 1x1 to 8x8 boards:"; counts
Print "First of the 8x8 solutions: "; FirstSolution

Grid(1) = "##..#...##"
Grid(2) = "#...##..#."
Grid(3) = "..#..#...."
Grid(4) = ".###...##."
Grid(5) = "..#...###."
Grid(6) = "#....#...."
mark = Asc("a")
For r = 1 To 6
    For c = 1 To Len(Grid(r))
        If Mid$(Grid(r), c, 1) = "#" Then
            size = Fill(r, c, Chr$(mark))
            regions = regions & Chr$(mark) & "=" & size & " "
            mark = mark + 1
        End If
    Next c
Next r
Print "Regions: "; regions
For r = 1 To 6
    Print "  "; Grid(r)
Next r

Print "Ackermann(2, 3) ="; Ackermann(2, 3); " Ackermann(3, 3) ="; Ackermann(3, 3)
Print "Fib(30) ="; Fib(30); " Fib(70) ="; Fib(70); " calls so far:"; Fib(-1)
Print "Fib(70) again:"; Fib(70); " calls now:"; Fib(-1)
Print "Gcd(1071, 462) ="; Gcd(1071, 462); " Gcd(2^30, 3^15 * 4) ="; Gcd(2 ^ 30, 3 ^ 15 * 4)

On Error GoTo TooDeep
Print Endless(0)
Print "not reached"
Finish:
Print "done"
End

TooDeep:
Print "Endless recursion stopped: error"; Err; "("; Error$; ")"
Resume Finish
