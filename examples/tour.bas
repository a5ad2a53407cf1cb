' A short tour of brtl: a program of the BASIC dialect whose every builtin, operator and
' conversion is a call into the library.
Option Explicit

Type Loan
    Principal As Currency
    Rate As Double
    Years As Integer
End Type

Dim i As Integer, v As Variant, total As Long

Function Payment(l As Loan) As Currency
    Payment = -Pmt(l.Rate / 12, l.Years * 12, l.Principal)
End Function

Print "Hello from brtl "; Format(Now, "yyyy")
' Typed arithmetic never promotes: an Integer that overflows is trap 6. Variants promote.
v = 32767: Print "Arithmetic:"; 1 + 2 * 3; 2 ^ 10; 7 \ 2; 7 Mod 3; v + 1; "(a Long:"; VarType(v + 1); ")"
Print "Strings: "; UCase("basic"); " "; Mid("runtime", 1, 3); " ["; Trim("  padded  "); "] "; "5" + "3"; " "; "5" + 3
Print "Format: "; Format(1234567.891, "#,##0.00"); " "; Format(0.075, "0.0%"); " "; Format(#7/20/1969#, "dddd, mmmm d, yyyy")
Print "Dates: "; DateAdd("m", 1, #1/31/2024#); " is"; DateDiff("d", #1/31/2024#, #2/29/2024#); "days later, a "; Format(#2/29/2024#, "dddd")

Dim house As Loan
house.Principal = 20000: house.Rate = 0.045: house.Years = 5
Print "A loan of 20,000 over 5 years at 4.5%: "; Format(Payment(house), "Currency"); " a month"
Print "Cash flows -1000, 300, 400, 500 return "; Format(IRR(Array(-1000, 300, 400, 500)), "0.00%")
For i = 1 To 5
    total = total + i * i
    Print i; "squared is"; i ^ 2; Tab(30); "root "; Format(Sqr(i), "0.000")
Next
Print "Sum of the squares:"; total
Print "Search: ""run"" is at"; InStr("brtl runtime", "run"); "and ""ada@example.org"" Like ""*@*.org"" is"; "ada@example.org" Like "*@*.org"
Print "Variants: "; VarType(5); VarType("x"); VarType(#1/1/2000#); " "; Null + 1; " "; IIf(2 > 1, "yes", "no"); Choose(2, " a", " b")

' A trap reaches the handler of the running procedure: Resume Next goes on after it.
On Error GoTo Trapped
i = 32767: i = i + 1
Print "Done: Error$(11) is """; Error$(11); """"
End

Trapped:
Print "Trapped error"; Err; "("; Error$; ")"
Resume Next
