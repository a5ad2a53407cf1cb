' Quarterly sales report: the figures of each representative are laid out in columns with
' Format, Tab and Spc and written to a text file with Print #; the file is then read back a
' line at a time and shown with line numbers, as the report viewer does.
Option Explicit

Const RepCount = 6
Const ReportFile = "q1sales.txt"

Dim RepName(1 To RepCount) As String
Dim Region(1 To RepCount) As String
Dim Sales(1 To RepCount, 1 To 3) As Currency
Dim RepTotal(1 To RepCount) As Currency

Sub SetRep(ByVal i As Integer, ByVal nm As String, ByVal rg As String, _
           ByVal m1 As Currency, ByVal m2 As Currency, ByVal m3 As Currency)
    RepName(i) = nm
    Region(i) = rg
    Sales(i, 1) = m1
    Sales(i, 2) = m2
    Sales(i, 3) = m3
    RepTotal(i) = m1 + m2 + m3
End Sub

' An amount right-aligned in a column of the given width.
Function Amount(ByVal v As Currency, ByVal w As Integer) As String
    Dim s As String
    s = Space$(w)
    RSet s = Format$(v, "#,##0.00")
    Amount = s
End Function

Function RightText(ByVal s As String, ByVal w As Integer) As String
    RightText = Right$(Space$(w) & s, w)
End Function

Function Percent(ByVal part As Double, ByVal whole As Double) As String
    Dim s As String * 7
    RSet s = Format$(part / whole, "0.0%")
    Percent = s
End Function

' The representatives ordered by total sales, highest first (a selection sort of indexes).
Sub RankByTotal(order() As Integer)
    Dim i As Integer, j As Integer, best As Integer, t As Integer
    For i = 1 To RepCount
        order(i) = i
    Next i
    For i = 1 To RepCount - 1
        best = i
        For j = i + 1 To RepCount
            If RepTotal(order(j)) > RepTotal(order(best)) Then best = j
        Next j
        t = order(i): order(i) = order(best): order(best) = t
    Next i
End Sub

Sub WriteReport(ByVal f As Integer)
    Dim i As Integer, m As Integer, grand As Currency
    Dim monthTotal(1 To 3) As Currency
    Dim regions As Variant, r As Integer, regionTotal As Currency, regionReps As Integer
    Dim order(1 To RepCount) As Integer
    Dim periodStart As Date, periodEnd As Date

    periodStart = #1/1/2024#
    periodEnd = DateSerial(2024, 4, 0)     ' day 0 of April: the last day of March
    Print #f, "QUARTERLY SALES REPORT"
    Print #f, "Period: "; Format$(periodStart, "mmmm d, yyyy"); " to "; Format$(periodEnd, "mmmm d, yyyy")
    Print #f, "Issued: "; Format$(#4/2/2024#, "dddd, d mmm yyyy"); Spc(3); "Days in period:"; _
              DateDiff("d", periodStart, periodEnd) + 1
    Print #f, String$(66, "=")
    Print #f, "Rep"; Tab(11); "Region"; Tab(18);
    For m = 1 To 3
        Print #f, RightText(Format$(DateSerial(2024, m, 1), "mmm"), 10);
    Next m
    Print #f, Spc(6); "Total"; Spc(2); "Share"
    Print #f, String$(66, "-")

    For i = 1 To RepCount
        grand = grand + RepTotal(i)
        For m = 1 To 3
            monthTotal(m) = monthTotal(m) + Sales(i, m)
        Next m
    Next i

    For i = 1 To RepCount
        Print #f, RepName(i); Tab(11); Region(i); Tab(18);
        For m = 1 To 3
            Print #f, Amount(Sales(i, m), 10);
        Next m
        Print #f, Amount(RepTotal(i), 11); Percent(RepTotal(i), grand)
    Next i
    Print #f, String$(66, "-")
    Print #f, "All reps"; Tab(18);
    For m = 1 To 3
        Print #f, Amount(monthTotal(m), 10);
    Next m
    Print #f, Amount(grand, 11); Percent(grand, grand)
    Print #f, "Average"; Tab(18);
    For m = 1 To 3
        Print #f, Amount(monthTotal(m) / RepCount, 10);
    Next m
    Print #f, Amount(grand / RepCount, 11)
    Print #f,

    ' Subtotals per region, in the order the regions are listed here.
    regions = Array("North", "South", "West")
    Print #f, "By region", "Reps", "Sales", "Share"
    For r = LBound(regions) To UBound(regions)
        regionTotal = 0: regionReps = 0
        For i = 1 To RepCount
            If Region(i) = regions(r) Then
                regionTotal = regionTotal + RepTotal(i)
                regionReps = regionReps + 1
            End If
        Next i
        Print #f, regions(r), regionReps, Format$(regionTotal, "#,##0.00"), Format$(regionTotal / grand, "0.00%")
    Next r
    Print #f,

    RankByTotal order()
    Print #f, "Ranking by total sales:"
    For i = 1 To RepCount
        Print #f, Format$(i, "0") & "."; Tab(5); RepName(order(i)); Tab(16); _
                  Format$(RepTotal(order(i)), "$#,##0.00"); Tab(30); "growth Jan-Mar "; _
                  Format$((Sales(order(i), 3) - Sales(order(i), 1)) / Sales(order(i), 1), "+0.0%;-0.0%")
    Next i
    Print #f, "End of report"
End Sub

' ---- main ----
Dim f As Integer, lineText As String, lineNo As Integer, longest As Integer

SetRep 1, "Alvarez", "North", 12450.5, 13020.75, 11890
SetRep 2, "Brennan", "South", 9875.25, 10230, 12105.6
SetRep 3, "Chen", "North", 15200, 14875.4, 16020.1
SetRep 4, "Dubois", "West", 7420.8, 8015.35, 9150
SetRep 5, "Eklund", "South", 11005, 9870.9, 10450.45
SetRep 6, "Farouk", "West", 13560.3, 12990, 14210.75

f = FreeFile
Open ReportFile For Output As #f
WriteReport f
Close #f

' Read the report back as the viewer shows it: each line numbered.
f = FreeFile
Open ReportFile For Input As #f
Do While Not EOF(f)
    Line Input #f, lineText
    lineNo = lineNo + 1
    If Len(lineText) > longest Then longest = Len(lineText)
    Print Format$(lineNo, "00"); "| "; lineText
Loop
Close #f
Print "Lines read:"; lineNo; " longest:"; longest
Kill ReportFile
