' Statistics of an exam's scores: mean, standard deviation, median, quartiles, modes, a
' histogram by Partition and grades by Switch. The module follows the old convention that
' names starting with I to N are whole numbers and the others single precision, so most
' variables are declared without a type.
Option Explicit
DefInt I-N
DefSng A-H, O-Z

Const ScoreText = "72 85 91 64 78 85 59 88 93 70 85 47 76 81 69 100 74 88 62 79 95 83 71 66 88 54 77 82 90 73"
Const MaxStudents = 40
Global Scores(1 To MaxStudents), NumScores

' Splits the text on blanks and keeps the numbers (Integers, by DefInt).
Sub LoadScores(ByVal text As String)
    Dim p, q
    text = Trim$(text) & " "
    p = 1
    Do
        q = InStr(p, text, " ")
        If q = 0 Then Exit Do
        If q > p Then
            NumScores = NumScores + 1
            Scores(NumScores) = Val(Mid$(text, p, q - p))
        End If
        p = q + 1
    Loop
End Sub

Sub SortScores(a(), ByVal count)
    Dim i, j, v
    For i = 2 To count
        v = a(i)
        For j = i - 1 To 1 Step -1
            If a(j) <= v Then Exit For
            a(j + 1) = a(j)
        Next j
        a(j + 1) = v
    Next i
End Sub

' The p-quantile of sorted data, interpolating between neighbours.
Function Quantile(a(), ByVal count, ByVal p) As Single
    Dim position, k, frac
    position = (count - 1) * p + 1
    k = Int(position)
    frac = position - k
    If k >= count Then Quantile = a(count): Exit Function
    Quantile = a(k) + frac * (a(k + 1) - a(k))
End Function

Function Grade(ByVal s) As String
    Grade = Switch(s >= 90, "A", s >= 80, "B", s >= 70, "C", s >= 60, "D", True, "F")
End Function

' Counts grades between calls (every local of a Static Sub keeps its value); "?" reports.
Static Sub NoteGrade(ByVal g As String)
    Dim counts(1 To 5), k
    If g = "?" Then
        Print "Grades:";
        For k = 1 To 5
            Print " "; Mid$("ABCDF", k, 1); "="; LTrim$(Str$(counts(k)));
        Next k
        Print
    Else
        k = InStr("ABCDF", g)
        counts(k) = counts(k) + 1
    End If
End Sub

' ---- main ----
Dim i, k, n, best, total As Long, sorted(1 To MaxStudents)
Dim avg, sumsq, sd, centre, q1, q3, z, nearest
Dim freq(0 To 100), modes As String, bucket As String, lastBucket As String, inBucket

LoadScores ScoreText
n = NumScores
For i = 1 To n
    total = total + Scores(i)
    sorted(i) = Scores(i)
Next i
SortScores sorted(), n

avg = total / n
For i = 1 To n
    sumsq = sumsq + (Scores(i) - avg) ^ 2
Next i
sd = Sqr(sumsq / (n - 1))
Print "Students:"; n; " total:"; total; " mean:"; avg; " std dev:"; sd
Print "Types: mean"; VarType(avg); " count"; VarType(n); " total"; VarType(total)

If n Mod 2 = 1 Then
    centre = sorted((n + 1) \ 2)
Else
    centre = (sorted(n \ 2) + sorted(n \ 2 + 1)) / 2
End If
' A name from I to N is a whole number: the half is rounded to the even neighbour.
nearest = centre
q1 = Quantile(sorted(), n, 0.25)
q3 = Quantile(sorted(), n, 0.75)
Print "Lowest"; sorted(1); " Q1"; q1; " median"; centre; "(as a whole number"; nearest; ") Q3"; q3; " highest"; sorted(n); _
      " IQR"; q3 - q1

' The most frequent scores.
best = 0
For i = 1 To n
    freq(Scores(i)) = freq(Scores(i)) + 1
    If freq(Scores(i)) > best Then best = freq(Scores(i))
Next i
For k = 0 To 100
    If freq(k) = best Then modes = modes & Str$(k)
Next k
Print "Mode(s):"; modes; ", each"; best; "times"

' Histogram in bands of ten; sorted data makes each band one run.
lastBucket = ""
For i = 1 To n + 1
    If i <= n Then bucket = Partition(sorted(i), 0, 100, 10) Else bucket = ""
    If bucket <> lastBucket And lastBucket <> "" Then
        Print lastBucket; " | "; String$(inBucket, "*"); Spc(10 - inBucket); inBucket
        inBucket = 0
    End If
    lastBucket = bucket
    inBucket = inBucket + 1
Next i

For i = 1 To n
    NoteGrade Grade(Scores(i))
Next i
NoteGrade "?"

' Standard scores of the best three.
Print "Top three:";
For i = n To n - 2 Step -1
    z = (sorted(i) - avg) / sd
    Print sorted(i); "(z = "; Format$(z, "0.00"); ")";
Next i
Print
Print "Within one std dev of the mean:";
k = 0
For i = 1 To n
    If Abs(Scores(i) - avg) <= sd Then k = k + 1
Next i
Print k; "of"; n; "("; Format$(k / n, "0%"); ")"
