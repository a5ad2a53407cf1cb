' A date calculator on the library's calendar.
start = #1/31/2024#
? "Start: "; start; " is a "; Format(start, "dddd")
? "Plus one month: "; DateAdd("m", 1, start); ", plus a year: "; DateAdd("yyyy", 1, start)
? "Plus 90 days: "; DateAdd("d", 90, start); ", minus a week: "; DateAdd("ww", -1, start)
due = DateSerial(2024, 12, 25)
? "Days to "; Format(due, "mmmm d"); ": "; DateDiff("d", start, due); ", weeks: "; DateDiff("ww", start, due)
? "Quarter "; DatePart("q", due); ", day of year "; DatePart("y", due); ", weekday "; WeekDay(due)
? "Parts: "; Year(due); Month(due); Day(due)
t = #2:45:30 PM#
? "Time: "; t; " = "; Hour(t); Minute(t); Second(t)
? "Later: "; DateAdd("h", 10, #1/1/2024 8:00:00 PM#)
? "Serials: "; DateSerial(2024, 14, 1); " "; DateSerial(99, 1, 1); " "; TimeSerial(25, 0, 0)
? "From text: "; DateValue("March 5, 2023"); " "; TimeValue("18:30")
? "Leap day plus a year: "; DateAdd("yyyy", 1, #2/29/2024#)
? "Is a date: "; IsDate("2/30/2024"); IsDate("2/29/2024")
' The library's own clock can be set: it moves for this program only.
Date = "07-04-1999": ? "Date set: "; Date$; " "; Year(Date)
Time = "13:05:00": ? "Hour now: "; Hour(Time)
? DateSerial(10000, 1, 1)
