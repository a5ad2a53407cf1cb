' Every argument of a builtin, a special form or a procedure is evaluated exactly once, left
' to right, and a value the builtin only looks at the type of is still evaluated.
Dim Calls As Integer

Function Text(s As String) As String
    Calls = Calls + 1
    Text = s
End Function

Function Num(n As Double) As Double
    Calls = Calls + 1
    Num = n
End Function

Function Trace(s As String) As String
    Print "<" & s & ">";
    Trace = s
End Function

Sub Report(what As String)
    Print what; Calls
    Calls = 0
End Sub

Dim v As Variant, n As Long, s As String
n = Len(Text("abc")) + Len(Text("de") & Text("f"))
Report "Len:" & Str$(n)
s = UCase(Text("ab")) & LCase$(Text("CD")) & Trim(Text("  x  "))
Report "Case and Trim: " & s
n = VarType(Text("abc")) + VarType(Num(2)) + VarType(Format(Num(1.5), "0.0"))
Report "VarType:" & Str$(n)
v = Format(Format(Num(3), "0.00"), "@@@@@@")
Report "Format: [" & v & "]"
s = Mid$(Text("abcdef"), Num(2), Num(3)) & Left$(Text("xyz"), Num(1))
Report "Mid and Left: " & s
n = InStr(Num(1), Text("banana"), Text("nan"))
Report "InStr:" & Str$(n)
v = IIf(Num(1) > 0, Text("yes"), Text("no"))
Report "IIf: " & v
s = Trace("a") & Trace("b") & Trace("c")
Print
Print s; Len(Trace("x") & Trace("y"))
n = 0
For n = Num(1) To Num(3)
Next n
Report "For bounds read once, n =" & Str$(n)
