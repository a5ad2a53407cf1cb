' Importing an expense report exported by another system as comma-separated text. Its quoting
' is richer than Input # reads (doubled quotes inside quoted fields, blanks around fields), so
' each line is read whole with Line Input # and split by a small state machine. The amounts are
' summed per category; rows that do not convert are listed and left out.
Option Explicit

Const ImportFile = "expenses.csv"
Dim Fields(1 To 10) As String
Dim Category(1 To 10) As String, CategoryTotal(1 To 10) As Currency, CategoryCount As Integer

Sub WriteExport()
    Dim f As Integer
    f = FreeFile
    Open ImportFile For Output As #f
    Print #f, "Date,Category,Description,Amount"
    Print #f, "2024-03-01,Travel,""Train, return"",48.60"
    Print #f, "2024-03-02,Meals,Lunch with ""ACME"" team,23.5"
    Print #f, "2024-03-02, Office ,""Paper, toner """"XL"""""",  112.99 "
    Print #f, "2024-03-05,Travel,Taxi,-12.00"
    Print #f, "2024-03-07,Meals,,9.80"
    Print #f, "2024-03-08,Travel,Hotel (2 nights),2x149"
    Print #f, "2024-03-09,Office,""Unclosed quote,5"
    Print #f, "2024-03-11,Meals,Dinner,31.25"
    ' The last line has no line end, as some exporters leave it.
    Print #f, "2024-03-12,Travel,Parking,6";
    Close #f
End Sub

' Splits one line into Fields(); returns the number of fields, or -1 for an unclosed quote.
' Blanks around an unquoted field are dropped; inside quotes, "" stands for one quote.
Function SplitCsv(ByVal s As String) As Integer
    Dim i As Integer, c As String, n As Integer, inQuotes As Boolean, field As String, quoted As Boolean
    n = 0: field = "": inQuotes = False: quoted = False
    For i = 1 To Len(s)
        c = Mid$(s, i, 1)
        If inQuotes Then
            If c = """" Then
                If Mid$(s, i + 1, 1) = """" Then
                    field = field & """"
                    i = i + 1                  ' skip the second quote of the pair
                Else
                    inQuotes = False
                End If
            Else
                field = field & c
            End If
        ElseIf c = """" And Trim$(field) = "" Then
            inQuotes = True: quoted = True: field = ""
        ElseIf c = "," Then
            n = n + 1
            If quoted Then Fields(n) = field Else Fields(n) = Trim$(field)
            field = "": quoted = False
        Else
            field = field & c
        End If
    Next i
    If inQuotes Then SplitCsv = -1: Exit Function
    n = n + 1
    If quoted Then Fields(n) = field Else Fields(n) = Trim$(field)
    SplitCsv = n
End Function

Sub AddToCategory(ByVal name As String, ByVal amount As Currency)
    Dim k As Integer
    For k = 1 To CategoryCount
        If Category(k) = name Then CategoryTotal(k) = CategoryTotal(k) + amount: Exit Sub
    Next k
    CategoryCount = CategoryCount + 1
    Category(CategoryCount) = name
    CategoryTotal(CategoryCount) = amount
End Sub

' ---- main ----
Dim f As Integer, lineText As String, lineNo As Integer, n As Integer, amount As Currency
Dim k As Integer, rejected As String, total As Currency, a As String, b As String

WriteExport
f = FreeFile
Open ImportFile For Input As #f
Line Input #f, lineText                     ' the header
Print "Columns: "; lineText
Do While Not EOF(f)
    Line Input #f, lineText
    lineNo = lineNo + 1
    n = SplitCsv(lineText)
    If n <> 4 Then
        rejected = rejected & " " & lineNo & "(fields:" & n & ")"
    ElseIf Not IsNumeric(Fields(4)) Then
        rejected = rejected & " " & lineNo & "(amount " & Fields(4) & ")"
    Else
        amount = CCur(Fields(4))
        AddToCategory Fields(2), amount
        total = total + amount
        Print Format$(CDate(Fields(1)), "mmm d"); Tab(8); Fields(2); Tab(16); _
              "["; IIf(Fields(3) = "", "(none)", Fields(3)); "]"; Tab(46); Right$(Space$(9) & Format$(amount, "0.00"), 9)
    End If
Loop
Close #f
Print "Rows read:"; lineNo; " rejected:"; rejected
For k = 1 To CategoryCount
    Print Category(k); Tab(10); Right$(Space$(9) & Format$(CategoryTotal(k), "#,##0.00"), 9); _
          Format$(CategoryTotal(k) / total, "  0.0%")
Next k
Print "Total"; Tab(10); Right$(Space$(9) & Format$(total, "#,##0.00"), 9)

' Input # reads the simple rows field by field; reading past the end is error 62.
f = FreeFile
Open ImportFile For Input As #f
Line Input #f, lineText
Input #f, a, b, lineText, amount
Print "Input # first row: "; a; " | "; b; " | "; lineText; " |"; amount
On Error GoTo PastEnd
Do
    Line Input #f, lineText
Loop
AfterEnd:
Close #f
Kill ImportFile
End

PastEnd:
Print "Reading on after the last line: error"; Err; "("; Error$; ")"
Resume AfterEnd
