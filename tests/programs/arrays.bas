' Arrays: fixed and dynamic, several dimensions with any bounds, LBound/UBound by dimension,
' ReDim and ReDim Preserve, Erase, arrays of Strings, Variants and records, Array(), and the
' out-of-range trap 9.
Option Explicit

Type Item
    Name As String
    Qty As Integer
End Type

Dim a(10) As Integer, m(1 To 3, -2 To 2) As Long, names(1 To 3) As String
Dim d() As Long, g() As String, vs(2) As Variant, items(1 To 3) As Item
Dim i As Integer, j As Integer, line1 As String, v As Variant

Sub Report(what As String)
    Print what; ": error"; Err
    Err = 0
End Sub

Print "Bounds:"; LBound(a); UBound(a); LBound(m); UBound(m); LBound(m, 2); UBound(m, 2)
For i = 1 To 3
    For j = -2 To 2
        m(i, j) = i * 10 + j
    Next
Next
Print m(1, -2); m(2, 0); m(3, 2); m(2, -1) + m(3, 1)
For i = 0 To 10: a(i) = i * i: Next
Print a(0); a(5); a(10)

Print "ReDim Preserve:"
ReDim d(1 To 4)
For i = 1 To 4: d(i) = i * 100: Next
ReDim Preserve d(1 To 6)
Print LBound(d); UBound(d); d(1); d(4); d(6)
ReDim Preserve d(1 To 2)
Print UBound(d); d(1) + d(2)
ReDim d(3)                                   ' without Preserve: cleared, new bounds
Print LBound(d); UBound(d); d(1)
i = 7: ReDim d(i - 2 To i + 2): d(i) = 77: Print LBound(d); UBound(d); d(7)
ReDim g(1 To 2, 1 To 2)
g(1, 1) = "a": g(2, 2) = "d": g(1, 2) = "b"
ReDim Preserve g(1 To 2, 1 To 4)             ' the last dimension may change
g(2, 4) = "h"
Print UBound(g, 1); UBound(g, 2); g(1, 1); g(1, 2); "["; g(2, 1); "]"; g(2, 2); g(2, 4)

Print "Erase:"
names(1) = "Ann": names(2) = "Bob": names(3) = "Cy"
line1 = "": For i = 1 To 3: line1 = line1 & names(i) & "/": Next: Print line1
Erase names, a                               ' fixed arrays keep their size, lose their values
Print "["; names(2); "]"; a(5); UBound(names); UBound(a)
Erase d                                      ' a dynamic array loses its storage
On Error Resume Next
i = UBound(d): Report "UBound of an erased array"
ReDim d(2): d(2) = 5: Print "again:"; UBound(d); d(2)

Print "Variants and records:"
vs(0) = 12: vs(1) = "twelve": vs(2) = Null
Print IsEmpty(vs(0)); VarType(vs(0)); VarType(vs(1)); IsNull(vs(2)); vs(0) + Len(vs(1))
Erase vs
Print IsEmpty(vs(0)); IsEmpty(vs(1)); IsNull(vs(2))
For i = 1 To 3
    items(i).Name = Chr(64 + i) & "-part": items(i).Qty = i * 3
Next
items(2) = items(3)
Print items(1).Name; items(1).Qty; " "; items(2).Name; items(2).Qty; " "; items(3).Name
v = Array(5, "x", 2.5)
Print LBound(v); UBound(v); v(0) * v(2); v(1); VarType(v(1))

Print "Out of range:"
i = a(11): Report "a(11)"
i = a(-1): Report "a(-1)"
v = m(0, 0): Report "m(0, 0)"
v = m(1, 3): Report "m(1, 3)"
v = g(3, 1): Report "g(3, 1)"
i = LBound(m, 3): Report "LBound(m, 3)"
i = UBound(m, 0): Report "UBound(m, 0)"
v = v(3): Report "v(3) of an Array()"
ReDim Preserve g(1 To 3, 1 To 4): Report "ReDim Preserve of the first dimension"
Print "g still"; UBound(g, 1); UBound(g, 2); g(2, 4)
