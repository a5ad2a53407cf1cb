' Sorting and searching: three sorts of Long arrays (bubble, insertion, quicksort) that must
' agree with each other, the same for Strings, and binary search over the sorted results.
' The data comes from a small generator of our own so that it is the same on every machine.
Option Explicit

Const N = 40
Dim Seed As Long
Dim QuickCalls As Long

' A small linear congruential generator: values 0 to 65536.
Function NextValue() As Long
    Seed = (Seed * 75 + 74) Mod 65537
    NextValue = Seed
End Function

Sub CopyLongs(src() As Long, dst() As Long)
    Dim i As Integer
    ReDim dst(LBound(src) To UBound(src))
    For i = LBound(src) To UBound(src)
        dst(i) = src(i)
    Next i
End Sub

' Returns the number of swaps, which is the number of pairs out of order.
Function BubbleSort(a() As Long) As Long
    Dim i As Integer, j As Integer, t As Long, swaps As Long, swapped As Boolean
    For i = UBound(a) To LBound(a) + 1 Step -1
        swapped = False
        For j = LBound(a) To i - 1
            If a(j) > a(j + 1) Then
                t = a(j): a(j) = a(j + 1): a(j + 1) = t
                swaps = swaps + 1
                swapped = True
            End If
        Next j
        If Not swapped Then Exit For
    Next i
    BubbleSort = swaps
End Function

' Returns the number of elements moved one place up: the same count as the bubble sort's.
Function InsertionSort(a() As Long) As Long
    Dim i As Integer, j As Integer, v As Long, moves As Long
    For i = LBound(a) + 1 To UBound(a)
        v = a(i)
        j = i - 1
        Do While j >= LBound(a)
            If a(j) <= v Then Exit Do
            a(j + 1) = a(j)
            moves = moves + 1
            j = j - 1
        Loop
        a(j + 1) = v
    Next i
    InsertionSort = moves
End Function

' Quicksort with the middle element as pivot.
Sub QuickSort(a() As Long, ByVal lo As Integer, ByVal hi As Integer)
    Dim i As Integer, j As Integer, pivot As Long, t As Long
    QuickCalls = QuickCalls + 1
    i = lo: j = hi
    pivot = a((lo + hi) \ 2)
    Do While i <= j
        Do While a(i) < pivot: i = i + 1: Loop
        Do While a(j) > pivot: j = j - 1: Loop
        If i <= j Then
            t = a(i): a(i) = a(j): a(j) = t
            i = i + 1: j = j - 1
        End If
    Loop
    If lo < j Then QuickSort a(), lo, j
    If i < hi Then QuickSort a(), i, hi
End Sub

Sub QuickSortStr(a() As String, ByVal lo As Integer, ByVal hi As Integer)
    Dim i As Integer, j As Integer, pivot As String, t As String
    i = lo: j = hi
    pivot = a((lo + hi) \ 2)
    Do While i <= j
        Do While a(i) < pivot: i = i + 1: Loop
        Do While a(j) > pivot: j = j - 1: Loop
        If i <= j Then
            t = a(i): a(i) = a(j): a(j) = t
            i = i + 1: j = j - 1
        End If
    Loop
    If lo < j Then QuickSortStr a(), lo, j
    If i < hi Then QuickSortStr a(), i, hi
End Sub

Sub InsertionSortStr(a() As String)
    Dim i As Integer, j As Integer, v As String
    For i = LBound(a) + 1 To UBound(a)
        v = a(i)
        For j = i - 1 To LBound(a) Step -1
            If a(j) <= v Then Exit For
            a(j + 1) = a(j)
        Next j
        a(j + 1) = v
    Next i
End Sub

' Index of key in the sorted array, or -1; probes counts the elements looked at.
Function BinarySearch(a() As Long, ByVal key As Long, probes As Integer) As Integer
    Dim lo As Integer, hi As Integer, mid As Integer
    lo = LBound(a): hi = UBound(a): probes = 0
    BinarySearch = -1
    Do While lo <= hi
        mid = (lo + hi) \ 2
        probes = probes + 1
        If a(mid) = key Then
            BinarySearch = mid
            Exit Do
        ElseIf a(mid) < key Then
            lo = mid + 1
        Else
            hi = mid - 1
        End If
    Loop
End Function

Function BinarySearchStr(a() As String, ByVal key As String) As Integer
    Dim lo As Integer, hi As Integer, mid As Integer
    lo = LBound(a): hi = UBound(a)
    Do While lo <= hi
        mid = (lo + hi) \ 2
        Select Case StrComp(a(mid), key)
            Case 0: BinarySearchStr = mid: Exit Function
            Case -1: lo = mid + 1
            Case 1: hi = mid - 1
        End Select
    Loop
    BinarySearchStr = -1
End Function

Function IsSorted(a() As Long) As Boolean
    Dim i As Integer
    IsSorted = True
    For i = LBound(a) To UBound(a) - 1
        If a(i) > a(i + 1) Then IsSorted = False: Exit Function
    Next i
End Function

Function SameLongs(a() As Long, b() As Long) As Boolean
    Dim i As Integer
    If LBound(a) <> LBound(b) Or UBound(a) <> UBound(b) Then Exit Function
    For i = LBound(a) To UBound(a)
        If a(i) <> b(i) Then Exit Function
    Next i
    SameLongs = True
End Function

Sub ShowLongs(ByVal title As String, a() As Long, ByVal first As Integer, ByVal last As Integer)
    Dim i As Integer
    Print title;
    For i = first To last
        Print a(i);
    Next i
    Print
End Sub

' ---- main ----
Dim data() As Long, b() As Long, ins() As Long, q() As Long
Dim i As Integer, swaps As Long, moves As Long, probes As Integer, at As Integer

ReDim data(1 To N)
Seed = 2024
For i = 1 To N
    data(i) = NextValue() Mod 1000
Next i
ShowLongs "Data:", data(), 1, 12
CopyLongs data(), b(): CopyLongs data(), ins(): CopyLongs data(), q()
swaps = BubbleSort(b())
moves = InsertionSort(ins())
QuickSort q(), LBound(q), UBound(q)
Print "Bubble swaps:"; swaps; " insertion moves:"; moves; " quicksort calls:"; QuickCalls
Print "Sorted:"; IsSorted(b()); IsSorted(ins()); IsSorted(q()); " agree:"; SameLongs(b(), ins()) And SameLongs(b(), q())
ShowLongs "Smallest:", q(), 1, 8
ShowLongs "Largest:", q(), N - 4, N
Print "Data itself unchanged:"; Not IsSorted(data())

For i = 1 To 3
    at = BinarySearch(q(), data(i * 10), probes)
    Print "Find"; data(i * 10); "-> index"; at; "in"; probes; "probes"
Next i
at = BinarySearch(q(), 1000, probes)
Print "Find 1000 -> index"; at; "in"; probes; "probes"
at = BinarySearch(q(), -5, probes)
Print "Find -5 -> index"; at; "in"; probes; "probes"

' Already sorted input: the bubble sort stops after one pass without swapping.
Print "Sorting the sorted again:"; BubbleSort(q()); InsertionSort(q())

' A shuffle by Rnd (seeded, but only the fact that it sorts back is shown).
Dim deck(0 To 99) As Long, j As Integer, t As Long
Randomize 11
For i = 0 To 99: deck(i) = i * 3: Next i
For i = 99 To 1 Step -1
    j = Int(Rnd * (i + 1))
    t = deck(i): deck(i) = deck(j): deck(j) = t
Next i
QuickSort deck(), 0, 99
moves = 0
For i = 0 To 99
    If deck(i) <> i * 3 Then moves = moves + 1
Next i
Print "Shuffled deck sorted back, misplaced:"; moves

' Strings sort in byte order: capitals before small letters.
Dim names(1 To 12) As String, names2(1 To 12) As String
Dim list As Variant
list = Array("delta", "Alpha", "charlie", "Bravo", "echo", "Foxtrot", "golf", "Hotel", "india", "Juliet", "kilo", "Lima")
For i = 1 To 12
    names(i) = list(i - 1): names2(i) = list(i - 1)
Next i
QuickSortStr names(), 1, 12
InsertionSortStr names2()
For i = 1 To 12
    Print names(i); " ";
    If names(i) <> names2(i) Then Print "(the sorts disagree) ";
Next i
Print
Print "Lima at"; BinarySearchStr(names(), "Lima"); "; lima at"; BinarySearchStr(names(), "lima"); _
      "; golf at"; BinarySearchStr(names(), "golf")
