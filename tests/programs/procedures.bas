' Procedures and their arguments: ByVal and ByRef, the temporary copy a ByRef argument receives
' when it is not a variable of the parameter's exact type, Call with and without parentheses,
' functions called as statements, recursion, whole arrays as arguments, Exit Sub/Function.
Option Explicit

Type Point
    X As Integer
    Y As Integer
End Type

Dim calls As Integer

Sub Bump(n As Integer)
    n = n + 1
End Sub

Sub BumpVal(ByVal n As Integer)
    n = n + 100
    Print "  inside BumpVal:"; n
End Sub

Sub Swap(a As String, b As String)
    Dim t As String
    t = a: a = b: b = t
End Sub

Function Twice(ByVal x As Long) As Long
    calls = calls + 1
    Twice = x * 2
End Function

' Returns the old value and changes the argument: a function with a side effect.
Function TakeAndReset(n As Long) As Long
    TakeAndReset = n
    n = 0
End Function

' A function whose name is never assigned returns its type's empty value.
Function Nothing1() As String
End Function

Function Nothing2() As Double
End Function

Function Fact(ByVal n As Integer) As Double
    If n <= 1 Then
        Fact = 1
    Else
        Fact = n * Fact(n - 1)
    End If
End Function

' n is ByRef: the recursive calls pass expressions, so each one gets its own copy.
Function Fib(n As Integer) As Long
    If n < 2 Then Fib = n: Exit Function
    Fib = Fib(n - 1) + Fib(n - 2)
End Function

Sub FillSquares(a() As Integer)
    Dim k As Integer
    For k = LBound(a) To UBound(a)
        a(k) = k * k
    Next
End Sub

Function SumOf(a() As Integer) As Long
    Dim k As Integer, s As Long
    For k = LBound(a) To UBound(a): s = s + a(k): Next
    SumOf = s
End Function

Sub Classify(ByVal n As Integer)
    If n < 0 Then Print "  negative": Exit Sub
    If n = 0 Then Print "  zero": Exit Sub
    Print "  positive"
End Sub

Function FirstNegative(a() As Integer) As Integer
    Dim k As Integer
    FirstNegative = -1
    For k = LBound(a) To UBound(a)
        If a(k) < 0 Then FirstNegative = k: Exit Function
    Next
    Print "  (no negative value)"
End Function

' A ByRef parameter is the caller's variable itself: changes show through either name.
Sub Alias(a As Integer, b As Integer)
    a = a + 1: b = b * 10
    Print "  module i inside:"; i
End Sub

Sub Regrow(a() As Integer)
    ReDim a(1 To 7)
    a(7) = 49
End Sub

Sub MovePoint(p As Point, ByVal dx As Integer)
    p.X = p.X + dx: p.Y = p.Y - dx
End Sub

Dim i As Integer, l As Long, dyn() As Integer, v As Variant, s1 As String, s2 As String
Dim sq(1 To 5) As Integer, pt As Point

Print "ByRef and ByVal:"
i = 1: Bump i: Print i                   ' a variable of the exact type: changed
Call Bump(i): Print i
Bump (i): Print i                        ' parentheses make an expression: a copy
BumpVal i: Print i                       ' ByVal: the caller's value stays
l = 10: Bump l: Print l                  ' a Long for an Integer parameter: a copy
v = 20: Bump v: Print v                  ' a Variant for an Integer parameter: a copy
Bump i + 0: Bump 5: Print i              ' expressions and literals: copies
sq(2) = 7: Bump sq(2): Print sq(2)       ' an array element of the exact type: changed
pt.X = 3: Bump pt.X: Print pt.X          ' a record field of the exact type: changed
s1 = "left": s2 = "right": Swap s1, s2: Print s1; " "; s2
i = 2: Alias i, i: Print i                 ' both parameters are i: (2 + 1) * 10

Print "Functions:"
calls = 0
Print Twice(21); Twice(Twice(3)); calls
Twice 5                                  ' a function called as a statement
Call Twice(6)
Print "calls:"; calls
l = 42: Print TakeAndReset(l); l
TakeAndReset l: Print l
Print "["; Nothing1(); "]"; Nothing2(); Len(Nothing1())

Print "Recursion:"
Print Fact(10); Fact(1); Fact(20)
i = 20: Print Fib(i); i
Print Fib(1); Fib(2); Fib(10)

Print "Arrays as arguments:"
FillSquares sq()
Print sq(1); sq(3); sq(5); SumOf(sq())
Print FirstNegative(sq())
sq(4) = -1: Print FirstNegative(sq())
ReDim dyn(2): Regrow dyn(): Print LBound(dyn); UBound(dyn); dyn(7)

Print "Exit Sub:"
Classify -4: Classify 0: Call Classify(9)

Print "Records:"
pt.X = 1: pt.Y = 1: MovePoint pt, 5: Print pt.X; pt.Y

' Procedures that nothing runs: one calls only itself, two call only each other. They are
' checked like the rest of the module and the program still runs.
Function Depth(n As Integer) As Long
    If n > 0 Then Depth = 1 + Depth(n - 1)
End Function

Function IsEven(ByVal n As Long) As Boolean
    If n = 0 Then IsEven = True Else IsEven = IsOdd(n - 1)
End Function

Function IsOdd(ByVal n As Long) As Boolean
    If n = 0 Then IsOdd = False Else IsOdd = IsEven(n - 1)
End Function
