' A walk of 600,000 days from 1 January 1900, one DateAdd a day: counts the working days, the
' month ends and the Fridays the 13th, formats each day two ways and sums the lengths and the
' day numbers read back from the text, and checks the walk against DateDiff in days and months.
' Prints the counts and sums.
Option Explicit

Const DAYS As Long = 600000

Dim start As Date, d As Date, nextDay As Date
Dim i As Long, workdays As Long, monthEnds As Long, fridays As Long
Dim chars As Long, dayDigits As Long, offBy As Long, months As Long
Dim text As String, wd As Integer   ' Weekday: 1 Sunday ... 7 Saturday

start = DateSerial(1900, 1, 1)
d = start
For i = 1 To DAYS
    nextDay = DateAdd("d", 1, d)
    wd = Weekday(d)
    If wd <> 7 And wd <> 1 Then workdays = workdays + 1
    If Month(nextDay) <> Month(d) Then monthEnds = monthEnds + 1
    text = Format(d, "yyyy-mm-dd")
    chars = chars + Len(text)
    dayDigits = dayDigits + Val(Right$(text, 2))
    text = Format(d, "ddd d mmm yyyy")
    chars = chars + Len(text)
    If Left$(text, 6) = "Fri 13" Then fridays = fridays + 1
    If DateDiff("d", start, d) <> i - 1 Then offBy = offBy + 1
    d = nextDay
Next
months = DateDiff("m", start, d)
Print "checksum dates " & Format(d, "yyyy-mm-dd") & " " & CStr(workdays) & " " & _
    CStr(monthEnds) & " " & CStr(fridays) & " " & CStr(chars) & " " & CStr(dayDigits) & " " & _
    CStr(offBy) & " " & CStr(months)
