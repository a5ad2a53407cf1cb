' DefInt, DefLng, DefSng, DefDbl, DefCur, DefStr and DefVar: a name without a type character or
' an As clause takes the type of its first letter (either case), for variables, parameters and
' functions; type characters and As clauses win over the letters; letters with no Def statement
' give Variants. Option Base 1 makes 1 the lower bound of arrays declared without one.
Option Base 1
DefInt I-K, N
DefLng L
DefSng F-H
DefDbl D
DefCur C, M
DefStr S
DefVar V-W

' The result is a Single (H) and so is the parameter (F); y has no Def letter: a Variant.
Function Half(f, y)
    Half = f / 2
    Print "  Half:"; VarType(f); VarType(y); VarType(Half)
End Function

Function Describe(value) As String          ' value: a Variant through DefVar
    Describe = VarType(value) & ":" & value
End Function

' A String (S) function of an Integer (I) parameter: 3.5 arrives as 4.
Function Spell(i)
    Spell = i * 2
End Function

Sub Fill(items(), ByVal count)              ' an Integer array and an Integer count (I)
    For k = 1 To count: items(k) = k * count: Next
End Sub

Print "Implicit types:"
i = 2.5: idx = 3.5: Idx2 = 7
l = 100000: d = 1# / 3: f = 1 / 3: c = 1 / 3: m = 2.71828: s = 42: v = 1 / 3
Print i; idx; Idx2; l; d; f; c; m; "["; s; "]"; v
Print VarType(i); VarType(Idx2); VarType(n); VarType(l); VarType(f); VarType(g); VarType(h)
Print VarType(d); VarType(c); VarType(m); VarType(s); VarType(v); VarType(w); VarType(zebra)
Print "Never assigned: ["; s2; "]"; j; IsEmpty(vv); IsEmpty(other)

Print "Type characters and As clauses win:"
r! = 2.5: t% = 7.5: x$ = "text": Dim kk As Double, sq As Long
kk = 1.25: sq = 70000
Print r!; t%; x$; kk; sq; VarType(r!); VarType(t%); VarType(x$); VarType(kk); VarType(sq)
Print "  the same names without the characters:"; r; t; x; VarType(r); VarType(t)

Print "Functions and parameters:"
h1 = Half(5, 1): h2 = Half(3, "x"): Print h1; h2; VarType(h1)
Print Describe(1); " "; Describe("a"); " "; Describe(2.5); " "; Describe(c)
Dim nums(4)                                 ' Integers (N), from 1 (Option Base 1)
Fill nums(), 4
Print LBound(nums); UBound(nums); nums(1); nums(4); VarType(nums(2))

Print Spell(3.5); VarType(Spell(1))
ReDim items(3): items(1) = 2.5: ReDim strs(2)  ' arrays made by ReDim alone take the letters too
Print items(1); VarType(items(1)); "["; strs(1); "]"; VarType(strs(1)); LBound(items)

Print "Overflow of an implicit Integer:"
On Error Resume Next
n = 32000: n = n + 1000: Print "  error"; Err; "n ="; n
