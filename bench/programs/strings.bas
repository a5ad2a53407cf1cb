' Text built and searched on String variables, a page at a time: 2,000 pages of 100 item lines,
' each line made with Format and joined onto the page's growing String; each page is then read
' back entry by entry (InStr for each separator, Mid$ to cut the entry, Left$ and Val on its
' fields), searched for a word, and searched again upper-cased. Prints the length of all the
' pages, a hash of every 97th character of each and what the searches found.
Option Explicit

Const PAGES As Long = 2000
Const PER_PAGE As Long = 100

Dim text As String, upper As String, entry As String
Dim page As Long, i As Long, p As Long, q As Long
Dim chars As Long, count As Long, found As Long, hash As Long
Dim total As Double

For page = 0 To PAGES - 1
    text = ""
    For i = page * PER_PAGE + 1 To (page + 1) * PER_PAGE
        text = text & "Item " & Format(i, "000000") & " costs " & Format(i * 1.25, "0.00") & _
            " in box " & CStr(i Mod 97) & ";"
    Next
    chars = chars + Len(text)

    p = 1
    Do
        q = InStr(p, text, ";")
        If q = 0 Then Exit Do
        entry = Mid$(text, p, q - p)
        count = count + 1
        If Left$(entry, 10) = "Item 00012" Then found = found + 1
        total = total + Val(Mid$(entry, 19, InStr(19, entry, " ") - 19))
        p = q + 1
    Loop

    p = InStr(text, "box 42;")
    Do While p > 0
        found = found + 1
        p = InStr(p + 1, text, "box 42;")
    Loop

    upper = UCase$(text)
    p = InStr(upper, "IN BOX 7;")
    Do While p > 0
        found = found + 1
        p = InStr(p + 1, upper, "IN BOX 7;")
    Loop

    For p = 1 To Len(text) Step 97
        hash = (hash * 31 + Asc(Mid$(text, p, 1))) Mod 1000003
    Next
Next
Print "checksum strings " & CStr(chars) & " " & CStr(hash) & " " & CStr(count) & " " & _
    CStr(found) & " " & Format(total, "0.00")
