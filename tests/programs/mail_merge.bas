' Form letters: a template with {FIELD} markers is filled from customer records, the text is
' word-wrapped and justified to the letter's width, and address labels are laid out in fixed
' width strings with LSet, RSet and the Mid$ statement. Records whose fields fail the checks
' (Like patterns) get no letter.
Option Explicit

Type Customer
    Title As String * 4
    First As String * 10
    Last As String * 12
    Street As String * 24
    City As String * 16
    Zip As String * 5
    Balance As Currency
End Type

' The name fields alone, and the same bytes seen as one field (for LSet between the two).
Type NameParts
    First As String * 10
    Last As String * 12
End Type
Type NameBlock
    Whole As String * 22
End Type

Const Width = 44
Dim Template(1 To 4) As String
Dim People(1 To 4) As Customer

Sub SetCustomer(ByVal k As Integer, ByVal t As String, ByVal fn As String, ByVal ln As String, _
                ByVal st As String, ByVal ct As String, ByVal zp As String, ByVal bal As Currency)
    People(k).Title = t: People(k).First = fn: People(k).Last = ln
    People(k).Street = st: People(k).City = ct: People(k).Zip = zp: People(k).Balance = bal
End Sub

Function FieldValue(c As Customer, ByVal field As String) As String
    Select Case UCase$(field)
        Case "TITLE": FieldValue = RTrim$(c.Title)
        Case "FIRST": FieldValue = RTrim$(c.First)
        Case "LAST": FieldValue = RTrim$(c.Last)
        Case "CITY": FieldValue = RTrim$(c.City)
        Case "BALANCE": FieldValue = Format$(c.Balance, "$#,##0.00")
        Case "DUE": FieldValue = Format$(DateAdd("d", 30, #5/2/2024#), "mmmm d")
        Case Else: FieldValue = "{?" & field & "}"
    End Select
End Function

' Replaces every {NAME} in text by the customer's field.
Function Merge(ByVal text As String, c As Customer) As String
    Dim open1 As Integer, close1 As Integer, out As String, at As Integer
    at = 1
    Do
        open1 = InStr(at, text, "{")
        If open1 = 0 Then Exit Do
        close1 = InStr(open1, text, "}")
        If close1 = 0 Then Exit Do          ' an unclosed marker is left as it is
        out = out & Mid$(text, at, open1 - at) & FieldValue(c, Mid$(text, open1 + 1, close1 - open1 - 1))
        at = close1 + 1
    Loop
    Merge = out & Mid$(text, at)
End Function

' Pads a line to the width by widening its gaps, the leftmost gaps first.
Function Justify(ByVal s As String, ByVal w As Integer) As String
    Dim gaps As Integer, extra As Integer, i As Integer, out As String, each As Integer, more As Integer
    For i = 1 To Len(s)
        If Mid$(s, i, 1) = " " Then gaps = gaps + 1
    Next i
    If gaps = 0 Then Justify = s: Exit Function
    extra = w - Len(s)
    each = extra \ gaps: more = extra Mod gaps
    For i = 1 To Len(s)
        If Mid$(s, i, 1) = " " Then
            out = out & Space$(1 + each - (more > 0))   ' a True comparison is -1
            If more > 0 Then more = more - 1
        Else
            out = out & Mid$(s, i, 1)
        End If
    Next i
    Justify = out
End Function

' Word-wraps a paragraph: every line but the last is justified.
Sub PrintParagraph(ByVal text As String)
    Dim lineText As String, word As String, sp As Integer
    text = Trim$(text)
    Do While Len(text) > 0
        sp = InStr(text, " ")
        If sp = 0 Then sp = Len(text) + 1
        word = Left$(text, sp - 1)
        text = LTrim$(Mid$(text, sp + 1))
        If Len(lineText) = 0 Then
            lineText = word
        ElseIf Len(lineText) + 1 + Len(word) <= Width Then
            lineText = lineText & " " & word
        Else
            Print "| "; Justify(lineText, Width); " |"
            lineText = word
        End If
    Loop
    If Len(lineText) > 0 Then
        Dim last As String * 44
        LSet last = lineText
        Print "| "; last; " |"
    End If
End Sub

Sub PrintLabel(c As Customer)
    Dim row As String * 30, amount As String * 12, parts As NameParts, block As NameBlock
    Print "+"; String$(30, "-"); "+"
    parts.First = c.First: parts.Last = c.Last
    LSet block = parts                        ' the two fields side by side, as one
    row = RTrim$(c.Title) & " " & block.Whole
    Print "|"; row; "|"
    LSet row = c.Street
    Print "|"; row; "|"
    row = ""
    Mid$(row, 1) = UCase$(RTrim$(c.City))
    Mid$(row, 26, 5) = c.Zip                   ' the zip code always in the last five places
    Print "|"; row; "|"
    RSet amount = Format$(c.Balance, "#,##0.00")
    row = "Balance:"
    Mid$(row, 19) = amount
    Print "|"; row; "|"
    Print "+"; String$(30, "-"); "+"
End Sub

Function Problems(c As Customer) As String
    Dim p As String
    If Not c.Zip Like "#####" Then p = p & " zip '" & c.Zip & "'"
    If Not c.Last Like "[A-Z]*" Then p = p & " last name '" & RTrim$(c.Last) & "'"
    If c.Balance <= 0 Then p = p & " nothing owed"
    Problems = p
End Function

' ---- main ----
Dim k As Integer, p As String, letters As Integer
Template(1) = "Dear {TITLE} {LAST},"
Template(2) = "Our records show that your account at the {CITY} branch has a balance of {BALANCE}. " & _
              "We would be grateful if you could settle it by {DUE}, or call us to agree on a plan that suits you."
Template(3) = "Thank you for being our customer, {FIRST}.{SIGNATURE}"
Template(4) = "Yours sincerely, the {accounts team"

SetCustomer 1, "Ms", "Ada", "Lovelace", "12 St James's Square", "London", "10115", 1234.5
SetCustomer 2, "Mr", "Charles", "Babbage", "1 Dorset Street", "Marylebone", "2O117", 87.25
SetCustomer 3, "Dr", "Grace", "hopper", "1 Navy Yard", "Arlington", "22202", 10
SetCustomer 4, "Mx", "Alan", "Turing", "Hollymeade, Adlington Road", "Wilmslow", "09625", 0.5

For k = 1 To 4
    p = Problems(People(k))
    If p <> "" Then
        Print "No letter for "; RTrim$(People(k).First); ":"; p
    Else
        letters = letters + 1
        PrintLabel People(k)
        Print Merge(Template(1), People(k))
        PrintParagraph Merge(Template(2), People(k))
        PrintParagraph Merge(Template(3), People(k))
        Print Merge(Template(4), People(k))
        Print
    End If
Next k
Print letters; "letters,"; 4 - letters; "held back"

' The characters of a code, the way the letter's barcode is built.
p = RTrim$(People(1).Zip)
Print "Zip "; p; ":";
For k = 1 To Len(p)
    Print " "; Hex$(Asc(Mid$(p, k, 1))); "/"; Oct$(Asc(Mid$(p, k, 1)));
Next k
Print
Print "Street of record 4 was cut to"; Len(People(4).Street); "characters: ["; People(4).Street; "]"
