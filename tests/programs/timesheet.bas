' Weekly timesheets from clock-in and clock-out times typed as text. Durations are counted in
' whole minutes with DateDiff (never by subtracting fractions of a day, which would drift), a
' shift that ends after midnight counts into the next day, and unpaid breaks depend on the
' length of the shift.
Option Explicit

Type Shift
    Worker As String * 6
    WorkDay As Variant       ' a Date (a record field cannot be declared As Date)
    StartText As String * 5
    EndText As String * 5
End Type

Const WeekStart = #3/4/2024#     ' a Monday
Dim Shifts(1 To 12) As Shift, ShiftCount As Integer

Sub AddShift(ByVal w As String, ByVal dayOffset As Integer, ByVal s As String, ByVal e As String)
    ShiftCount = ShiftCount + 1
    Shifts(ShiftCount).Worker = w
    Shifts(ShiftCount).WorkDay = DateAdd("d", dayOffset, WeekStart)
    Shifts(ShiftCount).StartText = s
    Shifts(ShiftCount).EndText = e
End Sub

' Minutes worked in a shift, breaks taken off.
Function ShiftMinutes(sh As Shift, breakTaken As Integer) As Integer
    Dim t1 As Date, t2 As Date, m As Integer
    t1 = sh.WorkDay + TimeValue(sh.StartText)
    t2 = sh.WorkDay + TimeValue(sh.EndText)
    If t2 <= t1 Then t2 = DateAdd("d", 1, t2)     ' ends the next morning
    m = DateDiff("n", t1, t2)
    Select Case m
        Case Is > 9 * 60: breakTaken = 45
        Case Is > 6 * 60: breakTaken = 30
        Case Else: breakTaken = 0
    End Select
    ShiftMinutes = m - breakTaken
End Function

' Minutes of a shift between 22:00 and 06:00, which earn the night premium. Each minute is
' found from the start (not by adding a minute at a time, which would pile up rounding).
Function NightMinutes(sh As Shift) As Integer
    Dim t1 As Date, length As Integer, k As Integer, h As Integer, n As Integer
    t1 = sh.WorkDay + TimeValue(sh.StartText)
    length = ShiftMinutes(sh, k) + k
    For k = 0 To length - 1
        h = Hour(DateAdd("n", k, t1))
        If h >= 22 Or h < 6 Then n = n + 1
    Next k
    NightMinutes = n
End Function

' Minutes as h:mm, also beyond 24 hours.
Function HoursText(ByVal minutes As Long) As String
    HoursText = (minutes \ 60) & ":" & Format$(minutes Mod 60, "00")
End Function

Sub Report(ByVal w As String)
    Dim k As Integer, m As Integer, brk As Integer, total As Long, regular As Long, ends As Date
    Print "Timesheet of "; w; " for the week of "; Format$(WeekStart, "mmmm d, yyyy")
    For k = 1 To ShiftCount
        If RTrim$(Shifts(k).Worker) = w Then
            m = ShiftMinutes(Shifts(k), brk)
            ends = DateAdd("n", m + brk, Shifts(k).WorkDay + TimeValue(Shifts(k).StartText))
            Print "  "; Format$(Shifts(k).WorkDay, "ddd m/d"); Tab(14); _
                  Format$(TimeValue(Shifts(k).StartText), "h:nn AM/PM"); Tab(24); "to "; _
                  Format$(ends, "h:nn AM/PM"); IIf(Day(ends) <> Day(Shifts(k).WorkDay), " (+1)", "     "); _
                  Tab(44); "break"; brk; Tab(54); HoursText(m)
            total = total + m
        End If
    Next k
    regular = total
    If regular > 40 * 60 Then regular = 40 * 60
    Print "  Total "; HoursText(total); ", regular "; HoursText(regular); ", overtime "; HoursText(total - regular); _
          " ("; Format$((total - regular) / 60, "0.00"); " h)"
End Sub

' ---- main ----
AddShift "ana", 0, "08:45", "17:30"
AddShift "ana", 1, "09:00", "19:15"
AddShift "ana", 2, "07:30", "13:00"
AddShift "ana", 3, "08:45", "17:30"
AddShift "ana", 4, "12:00", "22:45"
AddShift "bo", 0, "22:00", "06:30"
AddShift "bo", 2, "22:00", "06:00"
AddShift "bo", 4, "23:30", "00:15"
AddShift "bo", 5, "14:10", "20:25"
Report "ana"
Report "bo"

' The night premium: a quarter of the hourly rate for each night hour.
Dim k As Integer, night As Integer, rate As Currency, premium As Currency
rate = 18.6
For k = 1 To ShiftCount
    night = NightMinutes(Shifts(k))
    If night > 0 Then
        premium = night * rate / 4 / 60
        Print RTrim$(Shifts(k).Worker); " on "; Format$(Shifts(k).WorkDay, "dddd"); ":"; night; _
              "night minutes, premium "; Format$(premium, "0.00")
    End If
Next k

' Why whole minutes: the same shift measured as a fraction of a day is not a whole number
' of minutes any more.
Dim frac As Double, t As Date
frac = (TimeValue("15:05") - TimeValue("06:00")) * 24 * 60
Print "6:00 to 15:05 by subtraction:"; frac; "minutes, but its whole part is"; Int(frac); _
      "; by DateDiff:"; DateDiff("n", TimeValue("06:00"), TimeValue("15:05"))
t = TimeSerial(8, 45 + 525, 0)
Print "8:45 plus 525 minutes is "; Format$(t, "hh:mm"); "; TimeSerial(25, -30, 0) is "; _
      Format$(TimeSerial(25, -30, 0), "hh:mm"); " on day"; Int(CDbl(TimeSerial(25, -30, 0)))
' Stopwatch readings in seconds (with tenths) shown as m:ss. \ and Mod take the whole part of a
' Single or Double operand (the fraction is cut off, as the library's Variant routines cut it),
' so 179.6 seconds is 2:59 and 3599.5 is 59:59.
Dim laps As Variant, secs As Double, shown As String
laps = Array(179.6, 59.4, 150.5, 151.5, 3599.5)
For k = LBound(laps) To UBound(laps)
    secs = laps(k)
    shown = shown & " " & (secs \ 60) & ":" & Format$(secs Mod 60, "00")
Next k
Print "Laps:"; shown
Print "Parts of 10:07:05 PM:"; Hour(#10:07:05 PM#); Minute(#10:07:05 PM#); Second(#10:07:05 PM#)
