' Loading sensor readings from a comma-separated file that a field device wrote, some of whose
' records are damaged. Each record is four fields read with Input #: sensor id, location,
' reading and sample count. The strict pass converts them with CInt and CDbl; a record that
' fails a conversion is skipped and reported, and loading goes on with the next one.
Option Explicit

Const DataFile = "readings.csv"
Const ErrBadCount = 1100      ' our own: a count below one

Type Reading
    Sensor As Integer
    Location As String
    Value As Double
    Samples As Integer
End Type

Dim Good(1 To 20) As Reading
Dim GoodCount As Integer
Dim Skipped As Integer, Mismatches As Integer, Overflows As Integer, Invalid As Integer

Sub WriteDataFile()
    Dim f As Integer
    f = FreeFile
    Open DataFile For Output As #f
    Write #f, 101, "Boiler room", 72.5, 12
    Write #f, 102, "Roof", -3.25, 8
    Print #f, "10x3,""Cellar"",15,4"
    Print #f, "104,""Garage"",abc,3"
    Print #f, "105,""Attic"",28.75,99999"
    Print #f, "106,""Porch"",1.5E1,2"
    Print #f, "107,""Shed"",12.5,2.5"
    Print #f, "108,""Hall"",19.0,3.5"
    Print #f, "70000,""Lab"",21,1"
    Print #f, "110,""Kitchen"",,5"
    Print #f, "111,""Office"",22.25,0"
    Write #f, 112, "Server room, rack 4", 24.125, 30
    Close #f
End Sub

' Converts the four text fields of one record into a reading. A conversion that fails raises
' its error to the caller, which knows which record it was.
Sub ConvertRecord(ByVal idText As String, ByVal place As String, ByVal valueText As String, _
                  ByVal countText As String, r As Reading)
    r.Sensor = CInt(idText)
    r.Location = place
    r.Value = CDbl(valueText)
    r.Samples = CInt(countText)
    If r.Samples < 1 Then Error ErrBadCount
End Sub

Sub StrictPass()
    Dim f As Integer, recNo As Integer, r As Reading
    Dim idText As String, place As String, valueText As String, countText As String
    f = FreeFile
    Open DataFile For Input As #f
    On Error GoTo BadRecord
    Do While Not EOF(f)
        Input #f, idText, place, valueText, countText
        recNo = recNo + 1
        ConvertRecord idText, place, valueText, countText, r
        GoodCount = GoodCount + 1
        Good(GoodCount) = r
        Print "  record"; recNo; "ok:"; r.Sensor; r.Location; ","; r.Value; "x"; r.Samples
NextRecord:
    Loop
    Close #f
    Exit Sub

BadRecord:
    Skipped = Skipped + 1
    Select Case Err
        Case 13: Mismatches = Mismatches + 1
        Case 6: Overflows = Overflows + 1
        Case ErrBadCount: Invalid = Invalid + 1
    End Select
    If Err = ErrBadCount Then
        Print "  record"; recNo; "skipped: sample count "; countText; " is not positive"
    Else
        Print "  record"; recNo; "skipped: error"; Err; "("; Error$; ") in ["; _
              idText; "|"; valueText; "|"; countText; "]"
    End If
    Resume NextRecord
End Sub

' The lenient reading of a number: Val takes the digits it can and never fails.
Function LenientInt(ByVal s As String, ByVal fallback As Integer) As Integer
    On Error Resume Next
    LenientInt = fallback
    LenientInt = CInt(Val(s))
    If Err <> 0 Then
        Print "    ("; s; " does not fit: error"; Err; "kept"; fallback; ")"
    End If
End Function

Sub LenientPass()
    Dim f As Integer, idText As String, place As String, valueText As String, countText As String
    Dim total As Double, n As Integer, id As Integer, count As Integer
    f = FreeFile
    Open DataFile For Input As #f
    Do Until EOF(f)
        Input #f, idText, place, valueText, countText
        n = n + 1
        ' Converted before the line is printed: LenientInt prints its own complaints.
        id = LenientInt(idText, -1)
        count = LenientInt(countText, 1)
        Print "  "; place; ":"; id; Val(valueText); count
        total = total + Val(valueText)
    Loop
    Close #f
    Print "  lenient total of the readings:"; total; "over"; n; "records"
End Sub

' ---- main ----
Dim k As Integer, sum As Double, samples As Long

WriteDataFile
Print "Strict pass:"
StrictPass
Print "Loaded"; GoodCount; "records, skipped"; Skipped; "(type mismatch"; Mismatches; _
      ", overflow"; Overflows; ", invalid"; Invalid; ")"

' A weighted mean of the good readings, by sample count.
For k = 1 To GoodCount
    sum = sum + Good(k).Value * Good(k).Samples
    samples = samples + Good(k).Samples
Next k
Print "Weighted mean reading: "; Format$(sum / samples, "0.000"); " over"; samples; "samples"

Print "Lenient pass:"
LenientPass

' Typed Input # targets: the fields of a well-formed record go straight into numbers.
Dim f As Integer, id As Integer, place As String, v As Double, c As Currency
f = FreeFile
Open DataFile For Input As #f
Input #f, id, place, v, c
Print "Typed read:"; id; place; v; c; "("; VarType(id); VarType(v); VarType(c); ")"
Close #f

' The checks a careful loader makes before it converts.
Print "IsNumeric:"; IsNumeric("72.5"); IsNumeric("10x3"); IsNumeric(""); IsNumeric("1.5E1"); IsNumeric(" 7 ")
Print "CInt rounds to even:"; CInt("2.5"); CInt("3.5"); CInt("-2.5"); " CLng:"; CLng("70000")
Print "Val:"; Val("10x3"); Val("  1 2 3"); Val("&H1F"); Val("-.5e1"); Val("abc")
Kill DataFile
