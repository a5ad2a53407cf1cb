' Word statistics of a text file: lines, words and letters, then a table of how often each word
' occurs. The module compares text case-blind, so "The", "THE" and "the" are one word, kept
' in the spelling it was first seen in.
Option Explicit
Option Compare Text

Const TextFile = "story.txt"

Dim WordList() As String
Dim WordCount() As Integer
Dim Distinct As Integer

Sub WriteStory()
    Dim f As Integer
    f = FreeFile
    Open TextFile For Output As #f
    Print #f, "The quick brown fox jumps over the lazy dog."
    Print #f, "THE DOG sleeps; the fox runs on."
    Print #f, ""
    Print #f, "A fox, a dog, and a cat walked into the barn."
    Print #f, "The barn was quiet -- until the cat saw the fox!"
    Print #f, "   Quick thinking saved the day, said the Dog.   "
    Print #f, "End."
    Close #f
End Sub

' A letter: under Option Compare Text the range "A" To "Z" takes lower case letters too.
Function IsLetter(ByVal c As String) As Boolean
    Select Case c
        Case "A" To "Z"
            IsLetter = True
        Case Else
            IsLetter = False
    End Select
End Function

' Counts a word in the table, adding it when it is new.
Sub Tally(ByVal w As String)
    Dim k As Integer
    For k = 1 To Distinct
        If WordList(k) = w Then
            WordCount(k) = WordCount(k) + 1
            Exit Sub
        End If
    Next k
    Distinct = Distinct + 1
    ReDim Preserve WordList(1 To Distinct)
    ReDim Preserve WordCount(1 To Distinct)
    WordList(Distinct) = w
    WordCount(Distinct) = 1
End Sub

' Splits a line into words (runs of letters), tallies them and returns how many there were.
Function ScanLine(ByVal s As String, letters As Long, longest As String) As Integer
    Dim i As Integer, start As Integer, n As Integer, c As String, w As String
    start = 0
    ' One position past the end closes a word that ends the line.
    For i = 1 To Len(s) + 1
        c = Mid$(s, i, 1)
        If IsLetter(c) Then
            letters = letters + 1
            If start = 0 Then start = i
        ElseIf start > 0 Then
            w = Mid$(s, start, i - start)
            Tally w
            If Len(w) > Len(longest) Then longest = w
            n = n + 1
            start = 0
        End If
    Next i
    ScanLine = n
End Function

' Occurrences of a piece of text in a line; compareMode 0 is binary, 1 is text.
Function Occurrences(ByVal s As String, ByVal piece As String, ByVal compareMode As Integer) As Integer
    Dim p As Integer, n As Integer
    p = InStr(1, s, piece, compareMode)
    Do While p > 0
        n = n + 1
        p = InStr(p + Len(piece), s, piece, compareMode)
    Loop
    Occurrences = n
End Function

' Most frequent first; equal counts in alphabetical (case-blind) order. An insertion sort
' moving both parallel arrays together.
Sub SortTable()
    Dim i As Integer, j As Integer, w As String, c As Integer
    For i = 2 To Distinct
        w = WordList(i): c = WordCount(i)
        j = i - 1
        Do While j >= 1
            If WordCount(j) > c Then Exit Do
            If WordCount(j) = c And WordList(j) <= w Then Exit Do
            WordList(j + 1) = WordList(j): WordCount(j + 1) = WordCount(j)
            j = j - 1
        Loop
        WordList(j + 1) = w: WordCount(j + 1) = c
    Next i
End Sub

' ---- main ----
Dim f As Integer, s As String, lineNo As Integer, words As Integer, n As Integer
Dim letters As Long, longest As String, blank As Integer, k As Integer
Dim theText As Integer, theBinary As Integer

WriteStory
f = FreeFile
Open TextFile For Input As #f
Do Until EOF(f)
    Line Input #f, s
    lineNo = lineNo + 1
    If Len(Trim$(s)) = 0 Then blank = blank + 1
    n = ScanLine(s, letters, longest)
    words = words + n
    theText = theText + Occurrences(s, "the", 1)
    theBinary = theBinary + Occurrences(s, "the", 0)
    Print Right$(" " & lineNo, 2); ":"; n; "words, "; Len(s); "chars  ["; s; "]"
Loop
Close #f

Print "Lines:"; lineNo; "(blank:"; blank; ")"
Print "Words:"; words; " distinct:"; Distinct
Print "Letters:"; letters; " average word length: "; Format$(letters / words, "0.00")
Print "Longest word: "; longest; " ("; Len(longest); "letters )"
Print """the"" found"; theText; "times case-blind,"; theBinary; "times as typed"

SortTable
Print
Print "Word"; Tab(12); "Count"; Tab(19); "Share"
For k = 1 To Distinct
    If WordCount(k) < 2 Then Exit For
    Print WordList(k); Tab(12); WordCount(k); Tab(19); Format$(WordCount(k) / words, "0.0%")
Next k
Print "Words seen once:"; Distinct - k + 1
s = ""
For k = k To Distinct
    s = s & LCase$(WordList(k)) & " "
Next k
Print RTrim$(s)

' The comparisons of this module, for the record.
Print "StrComp(""Fox"", ""FOX"") ="; StrComp("Fox", "FOX"); "; binary:"; StrComp("Fox", "FOX", 0)
Print """Barn"" Like ""b*N"":"; "Barn" Like "b*N"; "; ""apple"" < ""Banana"":"; "apple" < "Banana"
Kill TextFile
