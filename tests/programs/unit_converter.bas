' A unit converter in the old numbered-line style, as many programs of the dialect were written:
' a menu read from a script of requests, ON ... GOSUB to the conversion routines, GOTO for the
' main loop, and an error handler that reports the line (Erl) where a request went wrong and
' goes on with the next request.
10 DefDbl A-Z
20 Dim Requests(1 To 14) As String, R As Integer, Choice As Integer, Amount As Double
30 Dim Unit As String, Answer As String, Done As Integer, Errors As Integer
40 Requests(1) = "1 100 C"
50 Requests(2) = "1 -40 F"
60 Requests(3) = "2 5 km"
70 Requests(4) = "2 12 in"
80 Requests(5) = "3 70 kg"
90 Requests(6) = "3 1 st"
100 Requests(7) = "2 3 furlong"
110 Requests(8) = "7 1 x"
120 Requests(9) = "1 abc C"
130 Requests(10) = "70000 1 C"
140 Requests(11) = "3 14 lb"
150 Requests(12) = "2 0 mi"
160 Requests(13) = "0 0 -"
170 Requests(14) = "1 37 C"
180 On Error GoTo 9000
190 R = 0
200 ' ---- main loop ----
210 R = R + 1
220 If R > UBound(Requests) Then GoTo 800
230 GoSub 5000                              ' split the request into Choice, Amount, Unit
240 If Choice = 0 Then Print "Request"; R; ": quit": GoTo 800
250 If Choice < 0 Or Choice > 3 Then Print "Request"; R; ": no such menu entry"; Choice: GoTo 200
260 Answer = ""
270 On Choice GoSub 1000, 2000, 3000
280 If Answer <> "" Then Print "Request"; R; ": "; Answer
290 GoTo 200

800 Print "Requests handled:"; R - 1; " failed:"; Errors
805 GoSub 6000
810 End

1000 ' ---- temperature ----
1010 Select Case Unit
1020 Case "C": Answer = Fmt(Amount) & " C = " & Fmt(Amount * 9 / 5 + 32) & " F"
1030 Case "F": Answer = Fmt(Amount) & " F = " & Fmt((Amount - 32) * 5 / 9) & " C"
1040 Case Else: Error 5
1050 End Select
1060 Return

2000 ' ---- length ----
2010 Select Case LCase$(Unit)
2020 Case "km": Answer = Fmt(Amount) & " km = " & Fmt(Amount / 1.609344) & " mi"
2030 Case "mi": Answer = Fmt(Amount) & " mi = " & Fmt(Amount * 1.609344) & " km"
2040 Case "in": Answer = Fmt(Amount) & " in = " & Fmt(Amount * 2.54) & " cm"
2050 Case "furlong": Answer = Fmt(Amount) & " furlongs = " & Fmt(Amount * 201.168) & " m"
2060 Case Else: Error 5
2070 End Select
2080 Return

3000 ' ---- weight ----
3010 Select Case Unit
3020 Case "kg": Answer = Fmt(Amount) & " kg = " & Fmt(Amount / 0.45359237) & " lb"
3030 Case "lb": Answer = Fmt(Amount) & " lb = " & Fmt(Amount * 0.45359237) & " kg"
3040 Case "st": Answer = Fmt(Amount) & " st = " & Fmt(Amount * 14) & " lb = " & Fmt(Amount * 14 * 0.45359237) & " kg"
3050 Case Else: Error 5
3060 End Select
3070 Return

5000 ' ---- split a request: menu entry, amount, unit ----
5010 Dim P1 As Integer, P2 As Integer, T As String
5020 T = Requests(R)
5030 P1 = InStr(T, " "): P2 = InStr(P1 + 1, T, " ")
5040 Choice = CInt(Left$(T, P1 - 1))
5050 Amount = CDbl(Mid$(T, P1 + 1, P2 - P1 - 1))
5060 Unit = Mid$(T, P2 + 1)
5070 Return

6000 ' ---- a chart: Celsius to Fahrenheit and kelvin, with a word for each row ----
6010 Dim TC As Integer, Word As String
6020 Print "     C       F        K"
6030 For TC = -20 To 40 Step 15
6040 Word = "freezing"
6050 On (TC + 35) \ 25 GoTo 6100, 6110, 6120      ' 0 (below -10 C) falls through
6060 GoTo 6200
6100 Word = "cold": GoTo 6200
6110 Word = "mild": GoTo 6200
6120 Word = "hot"
6200 Print Right$(Space$(6) & Fmt(TC), 6); Right$(Space$(8) & Fmt(TC * 9 / 5 + 32), 8); _
           Right$(Space$(9) & Fmt(TC + 273.15), 9); "  "; Word
6210 Next TC
6220 Return

9000 ' ---- errors: report the line, skip the request ----
9010 Errors = Errors + 1
9020 Print "Request"; R; ": error"; Err; "("; Error$; ") at line"; Erl
9030 Resume 200

' Numbers to four decimals, without trailing zeros.
Function Fmt(ByVal x As Double) As String
    Dim s As String
    s = Format$(x, "0.####")
    If Right$(s, 1) = "." Then s = Left$(s, Len(s) - 1)
    Fmt = s
End Function
