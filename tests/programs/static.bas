' Static: Static locals keep their values between calls while Dim locals start afresh; in a
' Static Sub or Static Function every local is static; a static local is shared by all the
' levels of a recursion; static arrays, Strings and Variants keep their contents too.
Option Explicit

Dim total As Integer                       ' a module variable that a local hides below

Function Counter() As Integer
    Static n As Integer
    Dim fresh As Integer
    n = n + 1: fresh = fresh + 1
    Counter = n * 10 + fresh
End Function

Static Sub Accumulate(ByVal x As Integer)
    Dim total As Integer, history As String  ' static too, because the Sub is Static
    total = total + x
    history = history & CStr(x) & ","
    Print "  total"; total; "history "; history
End Sub

Static Function Running(ByVal x As Double) As Double
    Dim sum As Double, count As Integer
    sum = sum + x: count = count + 1
    Running = sum / count
End Function

Function Depth(ByVal n As Integer) As String
    Static calls As Integer
    Dim here As Integer
    calls = calls + 1: here = calls
    If n > 0 Then Depth = Depth(n - 1)
    Depth = Depth & here & "/" & calls & " "
End Function

Sub Remember(ByVal k As Integer, ByVal value As String)
    Static slots(1 To 3) As String
    Static seen As Variant
    Dim i As Integer, line1 As String
    If IsEmpty(seen) Then Print "  first call: seen is Empty": seen = 0
    seen = seen + 1
    slots(k) = value
    For i = 1 To 3: line1 = line1 & "[" & slots(i) & "]": Next
    Print "  "; line1; " after"; seen; "call(s)"
End Sub

' A dynamic array in a Static Sub keeps its bounds and elements between calls.
Static Sub Grow(ByVal x As Integer)
    Dim a() As Integer, n As Integer, k As Integer, line1 As String
    n = n + 1
    ReDim Preserve a(1 To n)
    a(n) = x
    line1 = ""
    For k = 1 To n: line1 = line1 & a(k) & " ": Next
    Print "  "; line1; "(UBound"; UBound(a); ")"
End Sub

Function Plain() As Integer
    Dim n As Integer
    n = n + 1
    Plain = n
End Function

Print "Static local and Dim local:"; Counter(); Counter(); Counter()
Print "Dim locals start afresh:"; Plain(); Plain()
Print "Static Sub:"
total = 100
Accumulate 5
Accumulate 7
Call Accumulate(-2)
Print "  the module's total is still"; total
Print "Static Function (running mean):"; Running(2); Running(4); Running(9)
Print "Recursion shares the static:"
Print "  "; Depth(2)
Print "  "; Depth(1)
Print "Static array and Variant:"
Remember 2, "two"
Remember 1, "one"
Remember 2, "deux"
Print "Static dynamic array:"
Grow 5
Grow 6
Grow 7
