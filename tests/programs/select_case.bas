' Select Case: single values, lists, ranges, Is comparisons and Case Else for numbers and
' strings; the first matching Case wins, the tested expression is evaluated once, and this module
' compares strings without regard to case (Option Compare Text).
Option Compare Text
Option Explicit

Dim evaluations As Integer

Function Size(ByVal n As Double) As String
    Select Case n
        Case Is < 0
            Size = "negative"
        Case 0
            Size = "zero"
        Case 1, 2, 3
            Size = "small"
        Case 0.5 To 0.75, 4 To 9.5
            Size = "medium"
        Case 7, 10 To 99
            Size = "large"              ' 7 was taken by the Case above
        Case Else
            Size = "huge"
    End Select
End Function

Function Kind(s As String) As String
    Select Case s
        Case ""
            Kind = "empty"
        Case "apple", "pear"
            Kind = "fruit"
        Case "b" To "d"
            Kind = "b..d"
        Case Is >= "x"
            Kind = "late"
        Case Else
            Kind = "other"
    End Select
End Function

Function NextValue() As Integer
    evaluations = evaluations + 1
    NextValue = 3
End Function

Dim x As Variant, i As Integer, lo As Integer, hi As Integer, s As String, vs As Variant, vn As Variant

Print "Numbers:"
x = Array(-2, 0, 2, 0.6, 0.8, 7, 9.5, 9.6, 10, 99, 1000)
For i = 0 To UBound(x)
    Print x(i); Size(CDbl(x(i))); ",";
Next
Print

Print "Strings (case-blind):"
x = Array("", "Apple", "PEAR", "banana", "Cherry", "D", "Dog", "Xylophone", "zebra", "mango")
For i = 0 To UBound(x)
    Print "["; x(i); "] "; Kind(CStr(x(i))); ", ";
Next
Print
Print "Apple" = "aPPLE"; "abc" < "ABD"; StrComp("a", "A"); StrComp("a", "A", 0); InStr("Hello", "L")

Print "Evaluated once:"
Select Case NextValue()
    Case 1: Print "one"
    Case 2: Print "two"
    Case 3: Print "three"
    Case Else: Print "other"
End Select
Print "evaluations:"; evaluations

Print "Bounds from variables, reversed ranges, no match:"
lo = 5: hi = 8
For i = 4 To 10 Step 2
    Select Case i
        Case lo To hi: Print i; "in"; lo; "to"; hi
        Case hi To lo: Print i; "never: a reversed range matches nothing"
        Case lo * 2: Print i; "is lo * 2"
    End Select
Next

Print "Select Case True and nesting:"
For i = 9 To 15
    Select Case True
        Case i Mod 15 = 0: s = "FizzBuzz"
        Case i Mod 5 = 0, i Mod 3 = 0
            Select Case i Mod 3
                Case 0: s = "Fizz"
                Case Else: s = "Buzz"
            End Select
        Case Else: s = CStr(i)
    End Select
    Print s; " ";
Next
Print

Print "Exit For from a Case:"
For i = 1 To 100
    Select Case i * i
        Case Is > 50
            Print "first square above 50:"; i * i
            Exit For
    End Select
Next
Print "i ="; i

Print "Variants against typed values:"
' An operator with a Variant operand goes through the library's operator tables, which see the
' typed operand as a Variant too: a String Variant lies above every number, so "10" is not 10.
vs = "10": vn = 10
Print vs = 10; vs > 9; "10" = vn; vs = vn; vs > vn
Select Case vs
    Case 9: Print "  nine"
    Case 10: Print "  ten"
    Case Else: Print "  neither"
End Select
Select Case vn
    Case "1": Print "  ""1"""
    Case "10": Print "  ""10"""
    Case Else: Print "  neither"
End Select
vs = "ten"
On Error Resume Next
i = (vs = 10): Print "  ""ten"" = 10: error"; Err
