' Loops: For with positive, negative and fractional Steps (limit and step evaluated once, the
' counter's value after the loop), Do with While/Until before or after the body, While/Wend,
' and Exit For / Exit Do leaving only the innermost loop of their kind.
Option Explicit

Dim i As Integer, j As Integer, n As Integer, k As Long, x As Single, d As Double
Dim c As Currency, line1 As String, count As Integer

Print "For:"
For i = 1 To 5: Print i;: Next: Print "| after:"; i
For i = 10 To 1 Step -3: Print i;: Next i: Print "| after:"; i
For i = 5 To 1: Print "never";: Next: Print "| empty loop leaves"; i
For i = -2 To -2: Print i;: Next: Print "| one pass"
For x = 0 To 1 Step 0.25: Print x;: Next: Print "| after:"; x
For c = 1 To 0.5 Step -0.125: Print c;: Next: Print "| after:"; c
count = 0
For d = 0 To 1 Step 0.1: count = count + 1: Next
Print "Step 0.1 from 0 to 1:"; count; "passes, after:"; d
count = 0
For x = 1 To 2 Step 0.1: count = count + 1: Next     ' a Single counter and step
Print "Single step 0.1 from 1 to 2:"; count; "passes, after:"; x
' The limit and the step are evaluated once, when the loop starts.
n = 3: j = 1
For i = 1 To n Step j
    n = n + 10: j = j + 5
    Print i;
Next
Print "| n ="; n
' Changing the counter inside the body moves the loop on.
For i = 1 To 10
    Print i;
    i = i + 2
Next
Print "| after:"; i
For i = 1 To 3
    For j = i To 3
        Print i * 10 + j;
    Next j, i
Print

Print "Do:"
n = 0: Do While n < 3: n = n + 1: Loop: Print "While before:"; n
n = 0: Do Until n >= 3: n = n + 1: Loop: Print "Until before:"; n
n = 10: Do While n < 3: n = n + 1: Loop: Print "While before, false at once:"; n
n = 10: Do: n = n + 1: Loop While n < 3: Print "While after, false at once:"; n
n = 10: Do: n = n + 1: Loop Until n > 3: Print "Until after, true at once:"; n
k = 1: Do: k = k * 3: If k > 1000 Then Exit Do
Loop: Print "First power of 3 above 1000:"; k
n = 0
While n < 4
    j = 0
    While j < n: j = j + 1: Wend
    Print j;
    n = n + 1
Wend
Print "| While/Wend"

Print "Exit from nested loops:"
For i = 1 To 3
    For j = 1 To 3
        If j > i Then Exit For           ' leaves the inner For only
        Print i * 10 + j;
    Next
Next
Print "| i ="; i
n = 0
Do
    n = n + 1
    For i = 1 To 100
        If i * n >= 6 Then Exit For
    Next
    line1 = line1 & n & ":" & i & " "
    Do
        Exit Do                          ' leaves the inner Do only
    Loop
    If n = 4 Then Exit Do
Loop
Print line1; "| n ="; n
For i = 1 To 3
    Do While True
        j = j + 1
        If j Mod 2 = 0 Then Exit Do
    Loop
    If i = 2 Then Exit For
Next
Print "i ="; i; "j ="; j

Print "An Integer counter at the top of its range:"
On Error GoTo Overflowed
For i = 32765 To 32767: Print i;: Next
Print "not reached"
Overflowed:
Print "| error"; Err; "with i ="; i
