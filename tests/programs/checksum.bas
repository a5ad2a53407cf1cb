' Checksums of files and strings as a file-transfer tool computes them: CRC-32 (the table
' form), CRC-16/CCITT, Adler-32 and a simple 8-bit sum. The dialect has no unsigned types and no
' shift operators, so 32-bit values live in Longs and shifts are written with \ and *, keeping
' the sign bit out of the way.
Option Explicit

Dim CrcTable(0 To 255) As Long

' Shifts a Long right by n bits as if it were unsigned.
Function ShiftRight(ByVal v As Long, ByVal n As Integer) As Long
    If n = 0 Then ShiftRight = v: Exit Function
    If v < 0 Then
        ' Clear the sign bit, shift, and put the bit back one place lower.
        ShiftRight = ((v And &H7FFFFFFF) \ 2 Or &H40000000) \ (2 ^ (n - 1))
    Else
        ShiftRight = v \ (2 ^ n)
    End If
End Function

' Shifts left by 8 bits, dropping what falls off the top.
Function ShiftLeft8(ByVal v As Long) As Long
    Dim low As Long
    low = v And &HFFFFFF                ' the 24 bits that stay
    If low And &H800000 Then
        ShiftLeft8 = (low And &H7FFFFF) * 256 Or &H80000000
    Else
        ShiftLeft8 = low * 256
    End If
End Function

Sub BuildCrcTable()
    Dim n As Integer, k As Integer, c As Long
    For n = 0 To 255
        c = n
        For k = 1 To 8
            If c And 1 Then
                c = ShiftRight(c, 1) Xor &HEDB88320
            Else
                c = ShiftRight(c, 1)
            End If
        Next k
        CrcTable(n) = c
    Next n
End Sub

Function Crc32(ByVal s As String) As Long
    Dim c As Long, i As Long
    c = &HFFFFFFFF
    For i = 1 To Len(s)
        c = CrcTable((c Xor Asc(Mid$(s, i, 1))) And &HFF) Xor ShiftRight(c, 8)
    Next i
    Crc32 = Not c
End Function

' CRC-16/CCITT (polynomial 1021, start FFFF), kept in the low 16 bits of a Long.
Function Crc16(ByVal s As String) As Long
    Dim c As Long, i As Integer, k As Integer
    c = &HFFFF&
    For i = 1 To Len(s)
        c = c Xor (Asc(Mid$(s, i, 1)) * 256&)
        For k = 1 To 8
            If c And &H8000& Then
                c = ((c * 2) Xor &H1021&) And &HFFFF&
            Else
                c = (c * 2) And &HFFFF&
            End If
        Next k
    Next i
    Crc16 = c
End Function

Function Adler32(ByVal s As String) As Long
    Dim a As Long, b As Long, i As Long
    a = 1
    For i = 1 To Len(s)
        a = (a + Asc(Mid$(s, i, 1))) Mod 65521
        b = (b + a) Mod 65521
    Next i
    ' b * 65536 would overflow a Long when b is 32768 or more: the top bit is set by hand.
    If b >= 32768 Then
        Adler32 = (b - 32768) * 65536 Or &H80000000 Or a
    Else
        Adler32 = b * 65536 Or a
    End If
End Function

Function Sum8(ByVal s As String) As Integer
    Dim i As Integer, t As Integer
    For i = 1 To Len(s)
        t = (t + Asc(Mid$(s, i, 1))) Mod 256
    Next i
    Sum8 = t
End Function

Function Hex8(ByVal v As Long) As String
    Hex8 = Right$("0000000" & Hex$(v), 8)
End Function

Sub Report(ByVal label As String, ByVal s As String)
    Print label; Tab(24); Hex8(Crc32(s)); "  "; Right$("000" & Hex$(Crc16(s)), 4); "  "; _
          Hex8(Adler32(s)); "  "; Format$(Sum8(s), "000")
End Sub

' ---- main ----
Dim f As Integer, k As Integer, content As String, block As String, chunk As String

BuildCrcTable
Print "Table:"; " "; Hex8(CrcTable(1)); " "; Hex8(CrcTable(128)); " "; Hex8(CrcTable(255))
Print "Shifts:"; ShiftRight(-1, 1); ShiftRight(-1, 28); ShiftRight(&H80000000, 31); " "; _
      Hex$(ShiftLeft8(&H12345678)); " "; Hex$(ShiftLeft8(&HFF)); " "; Hex$(ShiftLeft8(&H800000))

Print "Data"; Tab(24); "CRC-32    CRC16 Adler-32  Sum"
Report "(empty)", ""
Report "a", "a"
Report "123456789", "123456789"
Report "The quick brown fox...", "The quick brown fox jumps over the lazy dog"
Report "All byte values", BytesUpTo(255)

' A file written in pieces must check the same as the string it was made from.
content = ""
For k = 1 To 40
    content = content & "Line " & k & ": " & String$(k Mod 7 + 1, Chr$(64 + k Mod 26)) & Chr$(10)
Next k
f = FreeFile
Open "payload.bin" For Binary As #f
Put #f, , content
Close #f
Print "File of"; FileLen("payload.bin"); "bytes"

' Read it back in blocks of 64 bytes, the last one shorter.
f = FreeFile
Open "payload.bin" For Binary As #f
block = ""
Do While Loc(f) < LOF(f)
    chunk = Space$(64)
    If LOF(f) - Loc(f) < 64 Then chunk = Space$(LOF(f) - Loc(f))
    Get #f, , chunk
    block = block & chunk
Loop
Close #f
Print "Read back the same:"; block = content
Report "payload.bin", block
Kill "payload.bin"

' Long arithmetic that leaves 32 bits traps instead of wrapping.
On Error Resume Next
Dim big As Long
big = &H7FFFFFFF
big = big + 1
Print "Long overflow: error"; Err; " value kept:"; Hex$(big)
Err = 0
big = &H40000000 * 2
Print "Long product overflow: error"; Err
On Error GoTo 0
End

Function BytesUpTo(ByVal n As Integer) As String
    Dim k As Integer, s As String
    For k = 0 To n
        s = s & Chr$(k)
    Next k
    BytesUpTo = s
End Function
