' Matrix arithmetic on two-dimensional Double arrays: product, transpose, determinant (by
' cofactor expansion, recursively, and by elimination, which must agree), solving a linear
' system and inverting a matrix. Arrays start at 1 in this module.
Option Explicit
Option Base 1

Const ErrSingular = 3001

' Values this close to zero are shown as zero: elimination leaves dust of that size.
Function Clean(ByVal x As Double) As Double
    If Abs(x) < 0.000000001 Then Clean = 0 Else Clean = x
End Function

Sub PrintMatrix(ByVal title As String, m() As Double, ByVal places As Integer)
    Dim i As Integer, j As Integer, pattern As String, cell As String
    pattern = "0"
    If places > 0 Then pattern = "0." & String$(places, "0")
    Print title; " ("; UBound(m, 1); "x"; UBound(m, 2); ")"
    For i = 1 To UBound(m, 1)
        For j = 1 To UBound(m, 2)
            cell = Format$(Clean(m(i, j)), pattern)
            Print Space$(10 - Len(cell)); cell;
        Next j
        Print
    Next i
End Sub

Sub Multiply(a() As Double, b() As Double, c() As Double)
    Dim i As Integer, j As Integer, k As Integer, s As Double
    If UBound(a, 2) <> UBound(b, 1) Then Error 5   ' the shapes do not fit
    ReDim c(UBound(a, 1), UBound(b, 2))
    For i = 1 To UBound(a, 1)
        For j = 1 To UBound(b, 2)
            s = 0
            For k = 1 To UBound(a, 2)
                s = s + a(i, k) * b(k, j)
            Next k
            c(i, j) = s
        Next j
    Next i
End Sub

Sub Transpose(a() As Double, t() As Double)
    Dim i As Integer, j As Integer
    ReDim t(UBound(a, 2), UBound(a, 1))
    For i = 1 To UBound(a, 1)
        For j = 1 To UBound(a, 2)
            t(j, i) = a(i, j)
        Next j
    Next i
End Sub

' Cofactor expansion along the first row; each minor is a new, smaller array.
Function DetRecursive(a() As Double, ByVal n As Integer) As Double
    Dim minor() As Double, i As Integer, j As Integer, col As Integer, c As Integer
    Dim total As Double, sign As Double
    If n = 1 Then DetRecursive = a(1, 1): Exit Function
    If n = 2 Then DetRecursive = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1): Exit Function
    ReDim minor(n - 1, n - 1)
    sign = 1
    For col = 1 To n
        For i = 2 To n
            c = 0
            For j = 1 To n
                If j <> col Then c = c + 1: minor(i - 1, c) = a(i, j)
            Next j
        Next i
        total = total + sign * a(1, col) * DetRecursive(minor(), n - 1)
        sign = -sign
    Next col
    DetRecursive = total
End Function

' Gaussian elimination with partial pivoting, on a copy.
Function DetElimination(a() As Double) As Double
    Dim m() As Double, n As Integer, i As Integer, j As Integer, k As Integer, p As Integer
    Dim t As Double, f As Double, d As Double
    n = UBound(a, 1)
    ReDim m(n, n)
    For i = 1 To n: For j = 1 To n: m(i, j) = a(i, j): Next j: Next i
    d = 1
    For k = 1 To n
        p = k
        For i = k + 1 To n
            If Abs(m(i, k)) > Abs(m(p, k)) Then p = i
        Next i
        If m(p, k) = 0 Then DetElimination = 0: Exit Function
        If p <> k Then
            For j = 1 To n: t = m(k, j): m(k, j) = m(p, j): m(p, j) = t: Next j
            d = -d
        End If
        d = d * m(k, k)
        For i = k + 1 To n
            f = m(i, k) / m(k, k)
            For j = k To n
                m(i, j) = m(i, j) - f * m(k, j)
            Next j
        Next i
    Next k
    DetElimination = d
End Function

' Gauss-Jordan on [a | b]: b becomes the solution. b may have several columns (the identity
' gives the inverse). A singular matrix raises ErrSingular.
Sub SolveInPlace(a() As Double, b() As Double)
    Dim m() As Double, n As Integer, w As Integer, i As Integer, j As Integer, k As Integer
    Dim p As Integer, t As Double, f As Double
    n = UBound(a, 1): w = UBound(b, 2)
    ReDim m(n, n)
    For i = 1 To n: For j = 1 To n: m(i, j) = a(i, j): Next j: Next i
    For k = 1 To n
        p = k
        For i = k + 1 To n
            If Abs(m(i, k)) > Abs(m(p, k)) Then p = i
        Next i
        If Abs(m(p, k)) < 0.000000000001 Then Error ErrSingular
        For j = 1 To n: t = m(k, j): m(k, j) = m(p, j): m(p, j) = t: Next j
        For j = 1 To w: t = b(k, j): b(k, j) = b(p, j): b(p, j) = t: Next j
        f = m(k, k)
        For j = 1 To n: m(k, j) = m(k, j) / f: Next j
        For j = 1 To w: b(k, j) = b(k, j) / f: Next j
        For i = 1 To n
            If i <> k Then
                f = m(i, k)
                For j = 1 To n: m(i, j) = m(i, j) - f * m(k, j): Next j
                For j = 1 To w: b(i, j) = b(i, j) - f * b(k, j): Next j
            End If
        Next i
    Next k
End Sub

Function MaxDeviationFromIdentity(m() As Double) As Double
    Dim i As Integer, j As Integer, worst As Double, want As Double
    For i = 1 To UBound(m, 1)
        For j = 1 To UBound(m, 2)
            If i = j Then want = 1 Else want = 0
            If Abs(m(i, j) - want) > worst Then worst = Abs(m(i, j) - want)
        Next j
    Next i
    MaxDeviationFromIdentity = worst
End Function

Sub Fill(m() As Double, ByVal rows As Integer, ByVal cols As Integer, values As Variant)
    Dim i As Integer, j As Integer
    ReDim m(rows, cols)
    For i = 1 To rows
        For j = 1 To cols
            ' Array() starts at the Option Base too, so at 1 here.
            m(i, j) = values(LBound(values) + (i - 1) * cols + j - 1)
        Next j
    Next i
End Sub

' ---- main ----
Dim a() As Double, b() As Double, c() As Double, t() As Double, x() As Double, inv() As Double
Dim check() As Double, s() As Double, i As Integer

Fill a, 4, 4, Array(2, -1, 0, 3, 1, 3, 2, -2, 0, 1, 4, 1, 5, 2, -3, 1)
Fill b, 4, 2, Array(1, 0, 0, 1, 2, -1, 1, 1)
PrintMatrix "A", a(), 0
Multiply a(), b(), c()
PrintMatrix "A x B", c(), 0
Transpose c(), t()
PrintMatrix "(A x B) transposed", t(), 0
Print "Bounds of the transpose:"; LBound(t, 1); UBound(t, 1); LBound(t, 2); UBound(t, 2)

Print "det A by cofactors:"; DetRecursive(a(), 4); " by elimination: "; Format$(DetElimination(a()), "0.000000")

' A x = r where r was made from x = (1, 2, 3, 4): the solution must come back.
Fill x, 4, 1, Array(1, 2, 3, 4)
Multiply a(), x(), s()
PrintMatrix "r = A x (1,2,3,4)", s(), 0
SolveInPlace a(), s()
PrintMatrix "Solution of A x = r", s(), 6

' The inverse: A times it must be the identity.
ReDim inv(4, 4)
For i = 1 To 4: inv(i, i) = 1: Next i
SolveInPlace a(), inv
PrintMatrix "Inverse of A", inv(), 4
Multiply a(), inv(), check()
Print "A x inverse is the identity:"; MaxDeviationFromIdentity(check()) < 0.000000001

' A singular matrix: the third row is the sum of the first two.
Dim sing() As Double
Fill sing, 3, 3, Array(1, 2, 3, 4, 5, 6, 5, 7, 9)
Print "det of the singular one:"; DetRecursive(sing(), 3)
On Error GoTo NoSolution
ReDim x(3, 1)
SolveInPlace sing(), x()
Print "solved?"
AfterSingular:
On Error GoTo 0

' The shapes of a product must fit: 4x2 times 4x4 is refused.
On Error Resume Next
Multiply b(), a(), c()
Print "B x A refused with error"; Err
On Error GoTo 0

' A bigger determinant for the recursion: the 5x5 matrix with entries 1 / (i + j - 1),
' scaled by 2520 so that its entries are whole numbers.
Dim h() As Double, j As Integer
ReDim h(5, 5)
For i = 1 To 5: For j = 1 To 5: h(i, j) = 2520 / (i + j - 1): Next j: Next i
Print "det of 2520 * Hilbert(5): "; Format$(DetRecursive(h(), 5), "0"); " / "; Format$(DetElimination(h()), "0")
Erase h
On Error Resume Next
i = UBound(h)
Print "After Erase, UBound is error"; Err
On Error GoTo 0
End

NoSolution:
Print "No solution: error"; Err; "(singular matrix)"
Resume AfterSingular
