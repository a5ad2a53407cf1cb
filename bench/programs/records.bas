' 100,000 customer records of a user type Put to a Random file in order, then Get back in a
' scattered order (record k * 7919 mod 100,000 + 1, which visits each once); the fields read are
' summed and each name is checked against its id. Prints the records matched and the sums. The
' file goes to the folder TMPDIR names, else to the current one.
Option Explicit

Type Customer
    Id As Long
    Name As String * 20
    Balance As Currency
    Visits As Integer
End Type

Const COUNT As Long = 100000

Dim c As Customer
Dim path As String
Dim i As Long, k As Long, matched As Long, visits As Long
Dim ids As Double, balances As Currency

path = Environ("TMPDIR")
If path = "" Then path = CurDir
path = path & "/brtl-records.dat"

Open path For Random As #1 Len = Len(c)
For i = 1 To COUNT
    c.Id = i
    c.Name = "Customer " & CStr(i)
    c.Balance = (i Mod 1000) * 0.25 + 1.5
    c.Visits = i Mod 300
    Put #1, i, c
Next
For k = 1 To COUNT
    i = (k * 7919) Mod COUNT + 1
    Get #1, i, c
    If RTrim$(c.Name) = "Customer " & CStr(c.Id) Then matched = matched + 1
    ids = ids + c.Id
    balances = balances + c.Balance
    visits = visits + c.Visits
Next
Close #1
Kill path
Print "checksum records " & CStr(matched) & " " & Format(ids, "0") & " " & _
    Format(balances, "0.00") & " " & CStr(visits)
