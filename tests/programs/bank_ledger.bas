' A small savings bank: accounts are records of a Random file, every movement of money goes to
' a journal written with Write #, and the month ends with interest and a snapshot of all the
' accounts in a Binary file. The journal is read back with Input # to print statements.
Option Explicit

Type Account
    Number As Long
    Holder As String * 20
    Balance As Currency
    Rate As Double           ' yearly interest rate
    Opened As String * 10    ' yyyy-mm-dd
End Type

Const AccountFile = "accounts.dat"
Const JournalFile = "journal.txt"
Const SnapshotFile = "ledger.bin"
Const ErrInsufficient = 2001

Dim AcctNo As Integer, JournalNo As Integer
Dim Acct As Account

Function AccountCount() As Integer
    AccountCount = LOF(AcctNo) \ Len(Acct)
End Function

Sub Journal(ByVal day As String, ByVal number As Long, ByVal kind As String, _
            ByVal amount As Currency, ByVal balance As Currency)
    Write #JournalNo, day, number, kind, amount, balance
End Sub

Function OpenAccount(ByVal holder As String, ByVal deposit As Currency, ByVal rate As Double, _
                     ByVal day As String) As Long
    Dim a As Account
    a.Number = 1001 + AccountCount()
    a.Holder = holder
    a.Balance = deposit
    a.Rate = rate
    a.Opened = day
    Put #AcctNo, a.Number - 1000, a
    Journal day, a.Number, "OPEN", deposit, deposit
    OpenAccount = a.Number
End Function

' Adds amount (negative for a withdrawal) to an account. A withdrawal that would overdraw the
' account raises ErrInsufficient; the account is left as it was.
Sub Post(ByVal number As Long, ByVal amount As Currency, ByVal day As String)
    Dim a As Account
    Get #AcctNo, number - 1000, a
    If a.Balance + amount < 0 Then Error ErrInsufficient
    a.Balance = a.Balance + amount
    Put #AcctNo, number - 1000, a
    Journal day, number, IIf(amount >= 0, "DEP", "WDR"), amount, a.Balance
End Sub

' Posts a movement and reports a refused one instead of stopping.
Sub Transact(ByVal number As Long, ByVal amount As Currency, ByVal day As String)
    On Error GoTo Refused
    Post number, amount, day
    Exit Sub
Refused:
    If Err = ErrInsufficient Then
        Print "Refused on "; day; ": account"; number; "cannot pay"; -amount
        Journal day, number, "REFUSED", amount, 0
    Else
        Print "Error"; Err; Error$
    End If
    Resume Next
End Sub

' A month's interest, to the cent: a twelfth of the yearly rate.
Sub CreditInterest(ByVal day As String)
    Dim k As Integer, a As Account, interest As Currency
    For k = 1 To AccountCount()
        Get #AcctNo, k, a
        interest = Round(a.Balance * a.Rate / 12, 2)
        a.Balance = a.Balance + interest
        Put #AcctNo, k, a
        Journal day, a.Number, "INT", interest, a.Balance
    Next k
End Sub

' Copies every account into a Binary file: a count, then the records one after the other.
Sub SaveSnapshot()
    Dim f As Integer, k As Integer, a As Account, n As Integer
    f = FreeFile
    Open SnapshotFile For Binary As #f
    n = AccountCount()
    Put #f, 1, n
    For k = 1 To n
        Get #AcctNo, k, a
        Put #f, , a
    Next k
    Print "Snapshot:"; n; "accounts,"; LOF(f); "bytes"
    Close #f
End Sub

Sub CheckSnapshot()
    Dim f As Integer, n As Integer, k As Integer, a As Account, total As Currency
    f = FreeFile
    Open SnapshotFile For Binary Access Read As #f
    Get #f, 1, n
    ' The third account starts after the count (2 bytes) and two records.
    Seek #f, 3 + 2 * Len(a)
    Get #f, , a
    Print "Third in the snapshot: "; a.Number; RTrim$(a.Holder); " opened "; a.Opened
    Seek #f, 3
    For k = 1 To n
        Get #f, , a
        total = total + a.Balance
    Next k
    Print "Snapshot total: "; Format$(total, "#,##0.00"); ", at end:"; Seek(f) > LOF(f)
    Close #f
End Sub

Sub PrintStatement(ByVal number As Long)
    Dim f As Integer, day As String, acctNumber As Long, kind As String
    Dim amount As Currency, balance As Currency
    f = FreeFile
    Open JournalFile For Input As #f
    Print "Statement of account"; number
    Do While Not EOF(f)
        Input #f, day, acctNumber, kind, amount, balance
        If acctNumber = number Then
            Print "  "; day; Tab(16); kind; Tab(24); Format$(amount, "#,##0.00;(#,##0.00)"); _
                  Tab(38); IIf(kind = "REFUSED", "", Format$(balance, "#,##0.00"))
        End If
    Loop
    Close #f
End Sub

' ---- main ----
Dim a1 As Long, a2 As Long, a3 As Long, k As Integer, total As Currency, lines As Integer
Dim pay As Double, fvalue As Double, loanLeft As Double, interest As Double, textLine As String

If Dir$(AccountFile) <> "" Then Kill AccountFile
AcctNo = FreeFile
Open AccountFile For Random As #AcctNo Len = Len(Acct)
JournalNo = FreeFile
Open JournalFile For Output As #JournalNo

a1 = OpenAccount("Grace Hopper", 2500, 0.03, "2024-03-01")
a2 = OpenAccount("Alan Turing", 150.75, 0.045, "2024-03-01")
a3 = OpenAccount("Edsger Dijkstra", 10000, 0.0375, "2024-03-04")
Transact a1, 1200.5, "2024-03-05"
Transact a2, -200, "2024-03-07"
Transact a2, -100.25, "2024-03-08"
Transact a3, -2345.67, "2024-03-12"
Transact a1, -3700.5, "2024-03-15"
Transact a1, -0.01, "2024-03-15"
Transact a2, 1000, "2024-03-20"
CreditInterest "2024-03-31"

For k = 1 To AccountCount()
    Get #AcctNo, k, Acct
    Print Acct.Number; Acct.Holder; Format$(Acct.Balance, "#,##0.00"); Tab(42); _
          Format$(Acct.Rate, "0.00%"); " since "; Acct.Opened
    total = total + Acct.Balance
Next k
Print "Deposits held: "; Format$(total, "Currency")
SaveSnapshot
Close #JournalNo
CheckSnapshot

PrintStatement a1
PrintStatement a2

' Count the journal's lines, then the library's financial functions for the customers.
JournalNo = FreeFile
Open JournalFile For Input As #JournalNo
Do Until EOF(JournalNo)
    Line Input #JournalNo, textLine
    lines = lines + 1
Loop
Close #JournalNo
Print "Journal lines:"; lines

pay = Pmt(0.065 / 12, 48, 15000)
Print "Loan of 15,000.00 at 6.5% over 48 months: "; Format$(-pay, "#,##0.00"); " a month, "; _
      Format$(-pay * 48 - 15000, "#,##0.00"); " interest in all"
loanLeft = 15000
For k = 1 To 3
    interest = loanLeft * 0.065 / 12
    loanLeft = loanLeft - (-pay - interest)
    Print "  month"; k; ": interest "; Format$(interest, "0.00"); ", owed "; Format$(loanLeft, "#,##0.00")
Next k
Print "  owed after 12 payments (FV): "; Format$(-FV(0.065 / 12, 12, pay, 15000), "#,##0.00")
fvalue = FV(0.04 / 12, 120, -200, -1000)
Print "Saving 200.00 a month for 10 years at 4% on 1,000.00: "; Format$(fvalue, "#,##0.00")
Print "Months to save 10,000.00 at 200.00 a month and 4%:"; _
      Int(NPer(0.04 / 12, -200, 0, 10000) + 0.999999)

Close #AcctNo
Kill AccountFile: Kill JournalFile: Kill SnapshotFile
