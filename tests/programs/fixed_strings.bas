' Fixed-length strings: assignment pads with blanks or cuts, the Mid statement replaces in place,
' LSet and RSet justify within a string's length, and fixed strings as array elements and record
' fields keep their length through copies.
Option Explicit

Type Label
    Code As String * 4
    Text As String * 8
    Count As Integer
End Type

Dim f As String * 6, g As String * 3, s As String, v As Variant, n As Integer
Dim codes(1 To 3) As String * 2, a As Label, b As Label

Sub Show(what As String, x As String)
    Print what; " ["; x; "]"; Len(x)
End Sub

Print "Initial values:"
' A fixed string starts filled with zeros, not blanks; only assignment pads with blanks.
Print Len(f); Asc(f); Asc(Right(f, 1)); Asc(a.Code); Asc(codes(3)); f = String(6, 0); f = Space(6)

Print "Assignment:"
f = "abc": Show "short value padded", f
f = "abcdefghij": Show "long value cut", f
g = f: Show "fixed to shorter fixed", g
s = g & f: Show "joined", s
f = "": Show "empty", f
f = 12.5: Show "number", f
v = f: Print "as a Variant:"; VarType(v); Len(v)
f = "ab"
Print "compare: "; f = "ab"; RTrim(f) = "ab"; f = "ab    "; f > "ab"; Len(Trim(f))

Print "Mid statement:"
f = "abcdef"
Mid(f, 2, 3) = "XYZ": Show "Mid(f, 2, 3)", f
Mid(f, 5) = "LONGER": Show "Mid(f, 5) with a long value", f
Mid(f, 1, 2) = "1": Show "value shorter than the count", f
s = "variable"
Mid(s, 3) = "RI": Show "on a String", s
Mid(s, 7, 10) = "BLE!": Show "cut at the end", s
On Error Resume Next
Mid(s, 0) = "x": Print "Mid(s, 0): error"; Err: Err = 0
Mid(s, 20) = "x": Print "Mid(s, 20): error"; Err: Err = 0
On Error GoTo 0

Print "LSet and RSet:"
f = "": LSet f = "ab": Show "LSet", f
RSet f = "ab": Show "RSet", f
RSet f = "abcdefgh": Show "RSet of a long value", f
s = "12345": RSet s = "9": Show "RSet on a String keeps its length", s
LSet s = "abcdefg": Show "LSet on a String cuts", s
g = "xyz": LSet f = g: Show "LSet from a fixed string", f

Print "Arrays and records:"
codes(1) = "A": codes(2) = "BCD": codes(3) = codes(2) & codes(1)
For n = 1 To 3: s = s & "[" & codes(n) & "]": Next: Print Mid(s, 6)
a.Code = "X1": a.Text = "a long label": a.Count = 3
b = a
b.Code = "Y2": Mid(b.Text, 1, 1) = "A": RSet b.Code = "7"
Print "["; a.Code; "]["; a.Text; "]["; b.Code; "]["; b.Text; "]"; Len(a); Len(a.Text)
LSet a.Text = "end": Print "["; a.Text; "]"; Len(a.Text & a.Code)
Print "["; UCase(a.Text); "]["; Left(a.Text, 2); "]["; Right(a.Code, 3); "]"; InStr(a.Text, " ")
Erase codes                              ' elements filled with zeros again
Print Len(codes(1)); Asc(codes(1)); codes(2) = Chr(0) & Chr(0)
