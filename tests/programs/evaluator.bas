' A calculator for arithmetic expressions typed as text: numbers, + - * / ^, parentheses, unary
' minus and a few functions, parsed by recursive descent. ^ binds tighter than unary minus and
' groups from the left, as in the dialect itself, so each result can be checked against the
' dialect's own arithmetic. Bad input raises errors of the calculator's own (1001 and up), which
' travel up through the recursive calls to the handler of the caller.
Option Explicit

Const ErrUnbalanced = 1001
Const ErrUnexpected = 1002
Const ErrMissingNumber = 1003
Const ErrTrailing = 1004
Const ErrUnknownFunction = 1005

Dim Source As String     ' the expression being parsed
Dim Pos As Integer       ' position of the next character to read
Dim Depth As Integer     ' deepest nesting of parentheses seen

Function Peek() As String
    Do While Mid$(Source, Pos, 1) = " "
        Pos = Pos + 1
    Loop
    Peek = Mid$(Source, Pos, 1)
End Function

Function Evaluate(ByVal text As String) As Double
    Source = text: Pos = 1: Depth = 0
    Evaluate = ParseSum(0)
    If Peek() = ")" Then Error ErrUnbalanced
    If Peek() <> "" Then Error ErrTrailing
End Function

' sum := product { ("+" | "-") product }
Function ParseSum(ByVal nesting As Integer) As Double
    Dim v As Double, op As String
    v = ParseProduct(nesting)
    Do
        op = Peek()
        If op <> "+" And op <> "-" Then Exit Do
        Pos = Pos + 1
        If op = "+" Then v = v + ParseProduct(nesting) Else v = v - ParseProduct(nesting)
    Loop
    ParseSum = v
End Function

' product := unary { ("*" | "/") unary }
Function ParseProduct(ByVal nesting As Integer) As Double
    Dim v As Double, op As String, d As Double
    v = ParseUnary(nesting)
    Do
        op = Peek()
        If op <> "*" And op <> "/" Then Exit Do
        Pos = Pos + 1
        If op = "*" Then
            v = v * ParseUnary(nesting)
        Else
            d = ParseUnary(nesting)
            v = v / d          ' a zero divisor is the dialect's own error 11
        End If
    Loop
    ParseProduct = v
End Function

' unary := "-" unary | power
Function ParseUnary(ByVal nesting As Integer) As Double
    If Peek() = "-" Then
        Pos = Pos + 1
        ParseUnary = -ParseUnary(nesting)
    ElseIf Peek() = "+" Then
        Pos = Pos + 1
        ParseUnary = ParseUnary(nesting)
    Else
        ParseUnary = ParsePower(nesting)
    End If
End Function

' power := primary { "^" ["-"] primary }
Function ParsePower(ByVal nesting As Integer) As Double
    Dim v As Double, sign As Integer
    v = ParsePrimary(nesting)
    Do While Peek() = "^"
        Pos = Pos + 1
        sign = 1
        If Peek() = "-" Then sign = -1: Pos = Pos + 1
        v = v ^ (sign * ParsePrimary(nesting))
    Loop
    ParsePower = v
End Function

' primary := number | "(" sum ")" | name "(" sum ")"
Function ParsePrimary(ByVal nesting As Integer) As Double
    Dim c As String, start As Integer, fname As String, arg As Double
    c = Peek()
    If c = "(" Then
        Pos = Pos + 1
        If nesting + 1 > Depth Then Depth = nesting + 1
        ParsePrimary = ParseSum(nesting + 1)
        If Peek() <> ")" Then Error ErrUnbalanced
        Pos = Pos + 1
    ElseIf (c >= "0" And c <= "9") Or c = "." Then
        start = Pos
        Do While InStr("0123456789.", Mid$(Source, Pos, 1)) > 0 And Pos <= Len(Source)
            Pos = Pos + 1
        Loop
        ParsePrimary = Val(Mid$(Source, start, Pos - start))
    ElseIf UCase$(c) >= "A" And UCase$(c) <= "Z" Then
        start = Pos
        Do While UCase$(Mid$(Source, Pos, 1)) >= "A" And UCase$(Mid$(Source, Pos, 1)) <= "Z"
            Pos = Pos + 1
        Loop
        fname = UCase$(Mid$(Source, start, Pos - start))
        If Peek() <> "(" Then Error ErrUnexpected
        arg = ParsePrimary(nesting)
        Select Case fname
            Case "SQR": ParsePrimary = Sqr(arg)      ' a negative argument is error 5
            Case "ABS": ParsePrimary = Abs(arg)
            Case "INT": ParsePrimary = Int(arg)
            Case Else: Pos = start: Error ErrUnknownFunction
        End Select
    ElseIf c = "" Then
        Error ErrMissingNumber
    Else
        Error ErrUnexpected
    End If
End Function

Function Describe(ByVal n As Integer) As String
    Select Case n
        Case ErrUnbalanced: Describe = "unbalanced parentheses"
        Case ErrUnexpected: Describe = "unexpected character"
        Case ErrMissingNumber: Describe = "number missing at the end"
        Case ErrTrailing: Describe = "text after the expression"
        Case ErrUnknownFunction: Describe = "unknown function"
        Case Else: Describe = Error$(n)
    End Select
End Function

' Evaluates one line and prints the result or what went wrong with it. expected is what the
' dialect itself computes for the same expression (not used when the text is bad).
Sub Calc(ByVal text As String, ByVal expected As Double)
    Dim r As Double
    On Error GoTo Failed
    r = Evaluate(text)
    Print text; " ="; r; IIf(r = expected, "", "(expected" & Str$(expected) & ")"); _
          IIf(Depth > 0, "[depth" & Str$(Depth) & "]", "")
    Exit Sub
Failed:
    Print text; " -> error"; Err; Describe(Err); " at column"; Pos
    Exit Sub
End Sub

' The same checks in a batch: a bad line counts as a failure and the batch goes on.
Function CountGood(lines As Variant) As Integer
    Dim k As Integer, good As Integer, r As Double
    On Error GoTo BadLine
    For k = LBound(lines) To UBound(lines)
        r = Evaluate(lines(k))
        good = good + 1
NextLine:
    Next k
    CountGood = good
    Exit Function
BadLine:
    Resume NextLine
End Function

' ---- main ----
Calc "1 + 2 * 3", 1 + 2 * 3
Calc "(1 + 2) * 3", (1 + 2) * 3
Calc "2 ^ 10 - 24", 2 ^ 10 - 24
Calc "-2 ^ 2", -2 ^ 2
Calc "2 ^ 3 ^ 2", 2 ^ 3 ^ 2
Calc "2 ^ -1", 2 ^ -1
Calc "7 / 2 - 1.25", 7# / 2# - 1.25
Calc "((4))+(((5)))", 9
Calc "- - 3 * -(2 - 5)", -(-3) * -(2 - 5)
Calc "100 / 8 / 5", 100# / 8# / 5#
Calc "sqr(16) + abs(-2.5) * int(3.7)", Sqr(16) + Abs(-2.5) * Int(3.7)
Calc "INT(-3.5) + 0.5", Int(-3.5) + 0.5
Calc "1 / 3", 1# / 3#
Calc "1.5e3", 0
Calc "(1 + 2", 0
Calc "1 + 2)", 0
Calc "4 * (2 - 2) + 7 / (3 - 3)", 0
Calc "3 * ", 0
Calc "3 $ 4", 0
Calc "cube(3)", 0
Calc "sqr(1 - 10)", 0
Calc "10 ^ 400", 0
Calc "", 0
Print "Good lines in the batch:"; CountGood(Array("1+1", "2*(3", "8/0", "((2))", "x", "9^0.5"))
Print "Last error afterwards:"; Err
