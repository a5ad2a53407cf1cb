' Records in Random files: a Type with a nested Type, fixed-length strings and every numeric
' type, written with Put and read back with Get, the layout of its bytes (seen through LSet into
' a record of one fixed string and through a Binary file), record copies, and records with a
' variable-length String and a Variant.
Option Explicit

Type Address
    Street As String * 12
    Zip As Long
End Type

Type Person
    Id As Integer
    Name As String * 10
    Home As Address
    Balance As Currency
    Rate As Single
    Score As Double
End Type

Type RawPerson
    Bytes As String * 48
End Type

Type Memo
    Id As Integer
    Text As String
    Extra As Variant
End Type

Dim p As Person, q As Person, blank As Person, raw As RawPerson, image As String, other As Address, m As Memo, k As Integer, zip As Long, s As String

Sub Show(r As Person)
    Print r.Id; "["; r.Name; "]["; RTrim(r.Home.Street); "]"; r.Home.Zip; r.Balance; r.Rate; r.Score
End Sub

Print "Len:"; Len(p); Len(p.Home); Len(raw); Len(p.Name)
Open "people.dat" For Random As #1 Len = Len(p)
For k = 1 To 3
    p.Id = k * 257
    p.Name = Choose(k, "Ada", "Grace", "Barbara Longname")
    p.Home.Street = k & " Main Street"
    p.Home.Zip = 10000 + k
    p.Balance = k * 1000.25
    p.Rate = k / 4
    p.Score = k / 8
    Put #1, k, p
Next
Print "Written:"; LOF(1); "bytes,"; Loc(1); "records"
Get #1, 2, q: Show q
q.Balance = q.Balance - 0.5: q.Home.Zip = 99999
Put #1, 2, q
Get #1, 1, q: Get #1, , q                 ' no number: the next record
Show q
Print "Loc after the second Get:"; Loc(1)
Close #1

Print "Copies:"
q = p                                     ' a record copy is a copy, not an alias
q.Name = "Changed": q.Home.Street = "Elsewhere"
Print "["; p.Name; "] ["; RTrim(p.Home.Street); "] ["; q.Name; "]"
LSet raw = p                              ' the bytes of the record in its file layout
image = raw.Bytes
s = ""
For k = 1 To 4: s = s & Hex(Asc(Mid(raw.Bytes, k, 1))) & " ": Next
Print s; Mid(raw.Bytes, 3, 10); "|"; Mid(raw.Bytes, 13, 12); "|"
Mid(raw.Bytes, 1, 2) = Chr(44) & Chr(1)   ' Id 300 = &H012C, low byte first
q = blank: LSet q = raw                  ' and back into a record of the first type
Show q

Print "Binary view:"
Open "people.dat" For Binary As #2
Get #2, 48 + 2 + 10 + 12 + 1, zip         ' record 2: the Zip after Id, Name and Street
Print zip; LOF(2)
s = Space(5): Get #2, 96 + 3, s: Print "["; s; "]"
other = p.Home: other.Zip = other.Zip + 1 ' a nested record copied out
Get #2, 48 + 13, p.Home                   ' and one read at record 2's Home
Print RTrim(other.Street); other.Zip; " / "; RTrim(p.Home.Street); p.Home.Zip; p.Id
Close #2

Open "people.dat" For Random As #1 Len = 48
Get #1, 3, raw                            ' a record read into a record of another type
Print "The file's record 3 is LSet's image:"; raw.Bytes = image; Len(image)
Close #1

Print "Variable-length fields:"
Open "memos.dat" For Random As #3 Len = 64
m.Id = 1: m.Text = "hello": m.Extra = 3.5: Put #3, 1, m
m.Id = 2: m.Text = "a longer memo": m.Extra = "text": Put #3, 2, m
Print "LOF:"; LOF(3)
Get #3, 1, m: Print m.Id; "["; m.Text; "]"; m.Extra; VarType(m.Extra)
Get #3, 2, m: Print m.Id; "["; m.Text; "] "; m.Extra; VarType(m.Extra)
On Error Resume Next
Get #3, 0, m: Print "record 0: error"; Err: Err = 0
m.Text = String(70, "x"): Put #3, 3, m: Print "too long: error"; Err: Err = 0
Close #3
