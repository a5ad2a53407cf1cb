' Optional parameters: Variants without a default tell IsMissing whether they were passed (and
' pass their missing state on to another procedure), typed ones take their default or their
' type's empty value, arguments may be left out at the end or between commas, and an Optional
' ByRef argument that was passed still changes the caller's variable.
Option Explicit

Function Greet(name As String, Optional greeting As Variant) As String
    If IsMissing(greeting) Then greeting = "Hello"
    Greet = greeting & ", " & name
End Function

Function Area(ByVal w As Double, Optional ByVal h As Double = -1) As Double
    If h = -1 Then h = w                  ' a square unless a height was given
    Area = w * h
End Function

Function Pad(ByVal s As String, Optional ByVal width As Integer = 8, Optional fill As String = ".") As String
    Pad = s
    If Len(s) < width Then Pad = s & String(width - Len(s), fill)
End Function

Sub Inner(Optional v As Variant)
    Print "    inner: IsMissing ="; IsMissing(v);
    If Not IsMissing(v) Then Print " value: "; v;
    Print
End Sub

Sub Outer(Optional v As Variant)
    Print "  outer: IsMissing ="; IsMissing(v)
    Inner v                               ' a missing argument stays missing
End Sub

Sub Counts(a As Integer, Optional b As Integer, Optional c As Variant, Optional d As Long = 4)
    Print "  a ="; a; "b ="; b; "c missing:"; IsMissing(c); "d ="; d
End Sub

Sub Bump(Optional n As Variant, Optional m As Integer = 0)
    If Not IsMissing(n) Then n = n + 1
    m = m + 1
End Sub

Dim v As Variant, k As Integer

Print "IsMissing:"
Print "  "; Greet("Ada"); " / "; Greet("Bob", "Goodbye"); " / "; Greet("Cy", Null); "|"       ' Null is passed, not missing
Outer
Outer 42
Call Outer("x")

Print "Defaults:"
Print Area(3); Area(3, 2); Area(2.5, 0)
Print "  ["; Pad("ab"); "]["; Pad("ab", 4); "]["; Pad("ab", 5, "*"); "]["; Pad("abcdefghij", 3); "]"

Print "Leaving arguments out:"
Counts 1
Counts 1, 2
Counts 1, , "three"
Counts 1, 2, , 40
Call Counts(1, , , 9)

Print "ByRef optionals:"
v = 10: k = 5
Bump v, k: Print "  v ="; v; "k ="; k
Bump: Print "  nothing passed, nothing changed: v ="; v; "k ="; k
Bump , k: Print "  only m: v ="; v; "k ="; k
