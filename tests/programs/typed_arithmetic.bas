' Typed arithmetic: the result type of each operator, no promotion between typed operands (an
' Integer that leaves its range is an overflow even when the target is wider), Variants that do
' promote, rounding on conversion, and the traps (6 Overflow, 11 Division by zero) caught with
' On Error and reported through Err.
Option Explicit

Dim i As Integer, l As Long, s As Single, d As Double, c As Currency, v As Variant

Sub Show(what As String)
    If Err = 0 Then
        Print what; ": no error"
    Else
        Print what; ": error"; Err; "- "; Error$
    End If
End Sub

Print "Result types:"
i = 7: l = 7: s = 7: d = 7: c = 7
Print VarType(i + i); VarType(i + l); VarType(l + l); VarType(i + s); VarType(l + s); VarType(s + d)
Print VarType(i + c); VarType(c * c); VarType(s - c); VarType(c * d)
Print VarType(i / i); VarType(s / i); VarType(l / i); VarType(d / s); VarType(c / i)
Print VarType(i \ i); VarType(l \ i); VarType(s \ i); VarType(i Mod i); VarType(d Mod i)
Print VarType(i ^ 2); VarType(i And i); VarType(Not i); VarType(i = i); VarType("a" < "b")
Print VarType(1); VarType(40000); VarType(1.5); VarType(1!); VarType(1#); VarType(1@); VarType(&HFFFF)

Print "Values:"
Print 7 / 2; 7 \ 2; -7 \ 2; 7 Mod 3; -7 Mod 3; 7 Mod -3; 2 ^ 10; 2 ^ -1
Print 1 / 3; 1# / 3; 2 / 3!; 1@ / 3
Print 5 And 3; 5 Or 3; 5 Xor 3; Not 5; -1 And 7; True Or False; 12 Eqv 10; 12 Imp 10
Print &HFFFF; &H8000; &H10000; &O17; 3 + 4 * 2 ^ 2; -2 ^ 2; (7 > 3) + 1
' A Double compared with a Single is first rounded to a Single.
s = 0.1: Print s = 0.1; CDbl(s) = 0.1; s < 0.1000001; "5" + i; VarType("5" + i); "5" & i
c = 10 / 3: Print c; c * 3; CCur(2.71828); c + 0.00001
' Conversions and assignments to whole types round half to even.
i = 2.5: l = 3.5: Print i; l; CInt(-2.5); CLng(1.5); CInt(0.5); CInt(-0.5); Int(-2.5); Fix(-2.5)

Print "Variants promote:"
v = 32767: v = v + 1: Print v; VarType(v)
v = 2147483647: v = v + 1: Print v; VarType(v)
v = 200: v = v * 200: Print v; VarType(v)
v = -32767 - 1: Print VarType(v); VarType(v - 1); v - 1
v = 5: Print VarType(v / 2); VarType(v \ 2); v / 2; VarType(v & 1); v & 1

Print "Traps:"
On Error Resume Next
Err = 0: i = 32767: i = i + 1: Show "Integer 32767 + 1"
Print "  i kept"; i
Err = 0: l = 32767 + 1: Show "32767 + 1 into a Long"
Err = 0: l = 32767& + 1: Show "32767& + 1"
Print "  l ="; l
Err = 0: i = 200: i = i * i: Show "Integer 200 * 200"
Err = 0: l = 200& * 200: Show "200& * 200"
Err = 0: i = -32768: i = -i: Show "-(-32768) as Integer"
Err = 0: i = 40000: Show "Integer = 40000"
Err = 0: i = CInt(32767.5): Show "CInt(32767.5)"
Err = 0: i = CInt(-32768.5): Show "CInt(-32768.5)"
Print "  i ="; i
' A Double or Single assigned to an Integer or a Long rounds half to even, within the range.
d = 32766.5: i = d: l = -2147483648.5: Print "  i ="; i; " l ="; l
s = -3.5: i = s: d = 2147483646.5: l = d: Print "  i ="; i; " l ="; l
Err = 0: d = 2147483647.5: l = d: Show "Long = 2147483647.5"
Err = 0: s = -32768.5: i = s: s = 32767.5: i = s: Show "Integer = Single 32767.5"
Err = 0: l = 2147483647: l = l + 1: Show "Long 2147483647 + 1"
Err = 0: l = 65536: l = l * l: Show "Long 65536 * 65536"
Err = 0: s = 3E+38: s = s * 10: Show "Single 3E+38 * 10"
Err = 0: d = 1E+308: d = d * 10: Show "Double 1E+308 * 10"
Err = 0: c = 922337203685477@: c = c + 1: Show "Currency at its top + 1"
Err = 0: l = 1 \ 0: Show "1 \ 0"
Err = 0: l = 1 Mod 0: Show "1 Mod 0"
Err = 0: d = 1 / 0: Show "1 / 0"
Err = 0: d = 0 / 0: Show "0 / 0"
Err = 0: c = 1: c = c / 0: Show "Currency / 0"
Err = 0: v = 1: v = v \ 0: Show "Variant \ 0"
Err = 0: l = 7 \ 0.4: Show "7 \ 0.4"
Err = 0: d = 10 ^ 400: Show "10 ^ 400"
