' A purchase sheet kept as a grid of Variant cells, the way a small spreadsheet holds them:
' a cell may be empty, Null (not known yet), a number of any type, text or a date. The totals
' column is computed with Variant arithmetic; a cell that cannot take part shows "#VALUE!"
' instead of stopping the sheet. The sheet is saved with Write # and loaded back with Input #.
Option Explicit

Const Rows = 7
Const ColItem = 1, ColQty = 2, ColPrice = 3, ColDue = 4, ColTotal = 5
Dim Sheet(1 To Rows, 1 To 5) As Variant

Sub SetRow(ByVal r As Integer, ByVal item As Variant, ByVal qty As Variant, ByVal price As Variant, _
           ByVal due As Variant)
    Sheet(r, ColItem) = item
    Sheet(r, ColQty) = qty
    Sheet(r, ColPrice) = price
    Sheet(r, ColDue) = due
End Sub

Function KindOf(v As Variant) As String
    Select Case VarType(v)
        Case 0: KindOf = "Empty"
        Case 1: KindOf = "Null"
        Case 2: KindOf = "Integer"
        Case 3: KindOf = "Long"
        Case 4: KindOf = "Single"
        Case 5: KindOf = "Double"
        Case 6: KindOf = "Currency"
        Case 7: KindOf = "Date"
        Case 8: KindOf = "String"
        Case Else: KindOf = "Other" & Str$(VarType(v))
    End Select
End Function

' How a cell is shown: Null as a dash, Empty as nothing, dates in short form, whole numbers as
' they are and other numbers to the cent.
Function Shown(v As Variant) As String
    If IsNull(v) Then
        Shown = "-"
    ElseIf IsEmpty(v) Then
        Shown = ""
    ElseIf VarType(v) = 7 Then
        Shown = Format$(v, "mmm d")
    ElseIf VarType(v) = 8 Then
        Shown = v
    ElseIf VarType(v) = 2 Or VarType(v) = 3 Then
        Shown = CStr(v)
    Else
        Shown = Format$(v, "0.00")
    End If
End Function

Sub ComputeTotals()
    Dim r As Integer
    On Error GoTo CellError
    For r = 1 To Rows
        ' Empty counts as 0, a numeric string as its number, Null makes the total Null.
        Sheet(r, ColTotal) = Sheet(r, ColQty) * Sheet(r, ColPrice)
NextRow:
    Next r
    Exit Sub
CellError:
    Sheet(r, ColTotal) = "#VALUE!"
    Resume NextRow
End Sub

Sub PrintSheet(ByVal title As String)
    Dim r As Integer, c As Integer
    Print title
    Print "Item"; Tab(10); "Qty"; Tab(18); "Price"; Tab(26); "Due"; Tab(35); "Total"; Tab(45); "Total is"
    For r = 1 To Rows
        Print Sheet(r, ColItem);
        For c = ColQty To ColTotal
            Print Tab(10 + 8 * (c - ColQty) + IIf(c = ColTotal, 1, 0)); Shown(Sheet(r, c));
        Next c
        Print Tab(45); KindOf(Sheet(r, ColTotal))
    Next r
End Sub

' Like a spreadsheet's SUM and COUNT: only numbers take part.
Function SumColumn(ByVal c As Integer, counted As Integer) As Variant
    Dim r As Integer, s As Variant
    s = 0: counted = 0
    For r = 1 To Rows
        Select Case VarType(Sheet(r, c))
            Case 2 To 6
                s = s + Sheet(r, c)
                counted = counted + 1
        End Select
    Next r
    SumColumn = s
End Function

Sub SaveSheet(ByVal path As String)
    Dim f As Integer, r As Integer
    f = FreeFile
    Open path For Output As #f
    For r = 1 To Rows
        Write #f, Sheet(r, ColItem), Sheet(r, ColQty), Sheet(r, ColPrice), Sheet(r, ColDue)
    Next r
    Close #f
End Sub

Sub LoadSheet(ByVal path As String)
    Dim f As Integer, r As Integer
    f = FreeFile
    Open path For Input As #f
    For r = 1 To Rows
        Input #f, Sheet(r, ColItem), Sheet(r, ColQty), Sheet(r, ColPrice), Sheet(r, ColDue)
        Sheet(r, ColTotal) = Empty
    Next r
    Close #f
End Sub

' ---- main ----
Dim counted As Integer, total As Variant, r As Integer, f As Integer, textLine As String
Dim cutoff As Variant, late As String

SetRow 1, "Paper", 10, 4.25, #3/15/2024#
SetRow 2, "Toner", 2, CCur(89.99), #3/1/2024#
SetRow 3, "Pens", "12", 0.8, Empty
SetRow 4, "Stapler", Empty, 15.5, #2/28/2024#
SetRow 5, "Desk", 1, Null, Null
SetRow 6, "Chairs", "four", 120, #4/1/2024#
SetRow 7, "Folders", 32767, 2, DateSerial(2024, 3, 10)
ComputeTotals
PrintSheet "Purchases"

total = SumColumn(ColTotal, counted)
Print "Sum of totals:"; total; "("; KindOf(total); ", from"; counted; "cells )"
total = SumColumn(ColQty, counted)
Print "Sum of quantities:"; total; "("; KindOf(total); ", from"; counted; "cells )"

' Dates compare as dates; a Null date is neither before nor after.
cutoff = #3/10/2024#
For r = 1 To Rows
    If IsNull(Sheet(r, ColDue)) Then
        late = late & Sheet(r, ColItem) & "? "
    ElseIf Not IsEmpty(Sheet(r, ColDue)) Then
        If Sheet(r, ColDue) <= cutoff Then late = late & Sheet(r, ColItem) & " "
    End If
Next r
Print "Due by "; Format$(cutoff, "mmmm d"); ": "; late

' How + and & treat the kinds of cell.
Print "Pens qty + 1 ="; Sheet(3, ColQty) + 1; "; qty & 1 = "; Sheet(3, ColQty) & 1; _
      "; qty + ""1"" = "; Sheet(3, ColQty) + "1"
Print "Desk price + 1 is Null:"; IsNull(Sheet(5, ColPrice) + 1); "; & keeps the text: ["; Sheet(5, ColPrice) & "n/a"; "]"
Print "Empty + Empty ="; Sheet(3, ColDue) + Sheet(3, ColDue); "("; KindOf(Sheet(3, ColDue) + Sheet(3, ColDue)); ")"
Print "Folders total + 1 ="; Sheet(7, ColTotal) + 1; "("; KindOf(Sheet(7, ColTotal) + 1); ")"

' Save and load: the kinds that Write # keeps come back from Input #.
SaveSheet "sheet.csv"
f = FreeFile
Open "sheet.csv" For Input As #f
For r = 1 To 3
    Line Input #f, textLine
    Print "  file: "; textLine
Next r
Close #f
LoadSheet "sheet.csv"
ComputeTotals
PrintSheet "Loaded back"
total = SumColumn(ColTotal, counted)
Print "Sum of totals:"; total; "from"; counted; "cells"
Kill "sheet.csv"
