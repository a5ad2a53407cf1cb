' Month calendars and a few date calculations built on the date functions: DateSerial carries
' months and days over, Weekday tells where a month starts, DateAdd keeps to the end of a month.
Option Explicit

Const SundayFirst = 1
Const MondayFirst = 2

Function IsLeapYear(ByVal y As Integer) As Boolean
    IsLeapYear = (y Mod 4 = 0 And y Mod 100 <> 0) Or y Mod 400 = 0
End Function

' Day 0 of the next month is the last day of this one; month 13 is January of the next year.
Function DaysInMonth(ByVal y As Integer, ByVal m As Integer) As Integer
    DaysInMonth = Day(DateSerial(y, m + 1, 0))
End Function

Function Centered(ByVal s As String, ByVal w As Integer) As String
    Dim pad As Integer
    pad = (w - Len(s)) \ 2
    Centered = Space$(pad) & s
End Function

' Prints the grid of one month, weeks starting on Sunday or on Monday.
Sub PrintMonth(ByVal y As Integer, ByVal m As Integer, ByVal firstDay As Integer)
    Dim first As Date, d As Integer, col As Integer, row As String, k As Integer, days As Integer
    first = DateSerial(y, m, 1)
    Print Centered(Format$(first, "mmmm yyyy"), 20)
    ' Day names from the dates of a week known to start on the chosen day.
    row = ""
    For k = 0 To 6
        row = row & Left$(Format$(DateAdd("d", k + firstDay - 1, #1/7/2024#), "ddd"), 2) & " "
    Next k
    Print RTrim$(row)
    ' Weekday counts from Sunday; the column of the 1st (1 to 7) counts from firstDay.
    col = (Weekday(first) - firstDay + 7) Mod 7 + 1
    row = Space$(3 * (col - 1))
    days = DaysInMonth(y, m)
    For d = 1 To days
        row = row & Right$(" " & d, 2) & " "
        If col = 7 Or d = days Then
            Print RTrim$(row)
            row = ""
            col = 1
        Else
            col = col + 1
        End If
    Next d
    Print
End Sub

' Easter Sunday by the Gregorian computus (the anonymous algorithm).
Function EasterSunday(ByVal y As Integer) As Date
    Dim a As Integer, b As Integer, c As Integer, d As Integer, e As Integer, f As Integer
    Dim g As Integer, h As Integer, i As Integer, k As Integer, l As Integer, m As Integer
    a = y Mod 19: b = y \ 100: c = y Mod 100
    d = b \ 4: e = b Mod 4: f = (b + 8) \ 25
    g = (b - f + 1) \ 3
    h = (19 * a + b - d - g + 15) Mod 30
    i = c \ 4: k = c Mod 4
    l = (32 + 2 * e + 2 * i - h - k) Mod 7
    m = (a + 11 * h + 22 * l) \ 451
    EasterSunday = DateSerial(y, (h + l - 7 * m + 114) \ 31, ((h + l - 7 * m + 114) Mod 31) + 1)
End Function

' The n-th given weekday (1 = Sunday) of a month.
Function NthWeekday(ByVal y As Integer, ByVal m As Integer, ByVal n As Integer, ByVal wd As Integer) As Date
    Dim first As Date, offset As Integer
    first = DateSerial(y, m, 1)
    offset = (wd - Weekday(first) + 7) Mod 7
    NthWeekday = DateAdd("d", offset + 7 * (n - 1), first)
End Function

Function CountFriday13(ByVal fromYear As Integer, ByVal toYear As Integer) As Integer
    Dim y As Integer, m As Integer, n As Integer
    For y = fromYear To toYear
        For m = 1 To 12
            If Weekday(DateSerial(y, m, 13)) = 6 Then n = n + 1
        Next m
    Next y
    CountFriday13 = n
End Function

' ---- main ----
Dim y As Integer, d As Date, k As Integer, leaps As String

PrintMonth 2024, 2, SundayFirst
PrintMonth 2023, 2, SundayFirst
PrintMonth 2000, 2, MondayFirst
PrintMonth 2025, 6, MondayFirst
PrintMonth 1999, 12, SundayFirst

' Leap years by the rule and by the calendar itself agree.
For y = 1896 To 1912 Step 4
    leaps = leaps & y & IIf(IsLeapYear(y), " leap", " common")
    If IsLeapYear(y) <> (DaysInMonth(y, 2) = 29) Then leaps = leaps & " (disagrees!)"
    leaps = leaps & "; "
Next y
Print leaps
Print "2000:"; DaysInMonth(2000, 2); " 2100:"; DaysInMonth(2100, 2); " days in 2024:"; _
      DateDiff("d", DateSerial(2024, 1, 1), DateSerial(2025, 1, 1)); " in 1900:"; _
      DateDiff("y", #1/1/1900#, #1/1/1901#)

' One month on from the 31st of January stays at the end of each month.
d = #1/31/2024#
For k = 1 To 4
    d = DateAdd("m", 1, d)
    Print Format$(d, "mmm d"); IIf(k < 4, ", ", "");
Next k
Print
Print "From 1/31/2024 plus 1 to 4 months:";
For k = 1 To 4
    Print " "; Format$(DateAdd("m", k, #1/31/2024#), "m/d");
Next k
Print

' Easter and a holiday found by weekday.
For y = 2024 To 2027
    Print "Easter"; y; "is "; Format$(EasterSunday(y), "dddd, mmmm d"); _
          "; Thanksgiving "; Format$(NthWeekday(y, 11, 4, 5), "mmm d")
Next y
Print "Friday the 13th from 2024 to 2026:"; CountFriday13(2024, 2026); "times"

' Day numbers and differences.
d = #7/4/2024#
Print Format$(d, "dddd mmmm d, yyyy"); " is day"; DatePart("y", d); "of the year, in week"; DatePart("ww", d); _
      "and quarter"; DatePart("q", d)
Print "Days from 1/1/2000 to 7/4/2024:"; DateDiff("d", #1/1/2000#, d); " weeks:"; DateDiff("ww", #1/1/2000#, d)
Print "Month names:";
For k = 1 To 12 Step 3
    Print " "; Format$(DateSerial(2024, k, 1), "mmmm"); "/"; Format$(DateSerial(2024, k, 1), "mmm");
Next k
Print
' A date printed as it is shows in the short date form.
Print "Day 60 of 2024 is "; DateSerial(2024, 1, 60); ", of 2023 is "; DateSerial(2023, 1, 60)
