' A counter with one clerk, simulated minute by minute: customers arrive, wait in a queue and
' are served in turn. The queue is a ring buffer in a dynamic array that grows (ReDim
' Preserve) when it is full; the minute's events are handled by GoSub routines; tickets come
' from a function with a Static counter. A stack of the same kind checks bracket nesting.
Option Explicit

Const Customers = 20
Dim Seed As Long

Dim Ring() As Integer
Dim RingHead As Integer, RingCount As Integer

' Our own generator, so that every run sees the same customers.
Function RandomBetween(ByVal lo As Integer, ByVal hi As Integer) As Integer
    Seed = (Seed * 75 + 74) Mod 65537
    RandomBetween = lo + Seed Mod (hi - lo + 1)
End Function

Function NextTicket() As Integer
    Static issued As Integer
    issued = issued + 1
    NextTicket = 100 + issued
End Function

Sub Enqueue(ByVal v As Integer)
    Dim bigger() As Integer, k As Integer, size As Integer
    size = UBound(Ring) + 1
    If RingCount = size Then
        ' Full: lay the queue out from the start of a twice bigger array.
        ReDim bigger(0 To 2 * size - 1)
        For k = 0 To RingCount - 1
            bigger(k) = Ring((RingHead + k) Mod size)
        Next k
        ReDim Ring(0 To 2 * size - 1)
        For k = 0 To RingCount - 1
            Ring(k) = bigger(k)
        Next k
        RingHead = 0
        size = 2 * size
        Print "      (queue grown to"; size; "places)"
    End If
    Ring((RingHead + RingCount) Mod size) = v
    RingCount = RingCount + 1
End Sub

Function Dequeue() As Integer
    If RingCount = 0 Then Error 5
    Dequeue = Ring(RingHead)
    RingHead = (RingHead + 1) Mod (UBound(Ring) + 1)
    RingCount = RingCount - 1
End Function

Sub Simulate(ByVal showUntil As Integer)
    Dim arrival(1 To Customers) As Integer, service(1 To Customers) As Integer
    Dim ticket(1 To Customers) As Integer
    Dim t As Integer, c As Integer, nextCustomer As Integer, busyUntil As Integer
    Dim wait As Integer, totalWait As Long, longestWait As Integer, longestQueue As Integer
    Dim busyMinutes As Integer, served As Integer, current As Integer

    t = 0
    For c = 1 To Customers
        t = t + RandomBetween(1, 4)
        arrival(c) = t
        service(c) = RandomBetween(2, 5)
    Next c

    nextCustomer = 1
    t = 0
    Do
        Do While nextCustomer <= Customers
            If arrival(nextCustomer) <> t Then Exit Do
            GoSub Arrive
        Loop
        If RingCount > longestQueue Then longestQueue = RingCount
        If busyUntil <= t Then
            If current > 0 Then GoSub Finish
            If RingCount > 0 Then GoSub StartService
        End If
        t = t + 1
    Loop Until served = Customers

    Print "Last customer left at minute"; t - 1
    Print "Served:"; served; " average wait: "; Format$(totalWait / Customers, "0.00"); _
          " minutes, longest:"; longestWait; " longest queue:"; longestQueue
    Print "Clerk busy"; busyMinutes; "of"; t - 1; "minutes: "; Format$(busyMinutes / (t - 1), "0.0%")
    Exit Sub

Arrive:
    c = nextCustomer
    ticket(c) = NextTicket()
    Enqueue c
    If t <= showUntil Then Print Format$(t, "00"); ": customer"; c; "takes ticket"; ticket(c); "queue"; RingCount
    nextCustomer = nextCustomer + 1
    Return

StartService:
    current = Dequeue()
    wait = t - arrival(current)
    totalWait = totalWait + wait
    If wait > longestWait Then longestWait = wait
    busyUntil = t + service(current)
    busyMinutes = busyMinutes + service(current)
    If t <= showUntil Then Print Format$(t, "00"); ": ticket"; ticket(current); "served after"; wait; "min, needs"; service(current)
    Return

Finish:
    served = served + 1
    current = 0
    Return
End Sub

' Brackets must close in the reverse order of opening: a stack of the open ones.
Function CheckBrackets(ByVal s As String) As String
    Dim stack() As String, top As Integer, i As Integer, ch As String, want As String
    ReDim stack(1 To 2)
    For i = 1 To Len(s)
        ch = Mid$(s, i, 1)
        Select Case ch
            Case "(", "[", "{"
                top = top + 1
                If top > UBound(stack) Then ReDim Preserve stack(1 To 2 * UBound(stack))
                stack(top) = ch
            Case ")", "]", "}"
                want = Mid$("([{", InStr(")]}", ch), 1)
                If top = 0 Then
                    CheckBrackets = "unexpected " & ch & " at" & Str$(i): Exit Function
                End If
                If stack(top) <> want Then
                    CheckBrackets = ch & " at" & Str$(i) & " closes " & stack(top): Exit Function
                End If
                top = top - 1
        End Select
    Next i
    If top > 0 Then
        CheckBrackets = top & " left open, deepest " & stack(top) & " (stack of" & Str$(UBound(stack)) & ")"
    Else
        CheckBrackets = "balanced (stack of" & Str$(UBound(stack)) & ")"
    End If
End Function

' ---- main ----
Dim k As Integer, tests As Variant
ReDim Ring(0 To 1)
Seed = 7
Simulate 12
Print "Tickets issued so far:"; NextTicket() - 101
Print "Queue empty at the end:"; RingCount = 0; " ring size:"; UBound(Ring) + 1

' An empty queue has nothing to give.
On Error Resume Next
k = Dequeue()
Print "Dequeue from the empty queue: error"; Err
On Error GoTo 0

tests = Array("a(b[c]{d})", "{[()()]}", "([)]", "(()", "x)", "((((((([]))))))){}")
For k = LBound(tests) To UBound(tests)
    Print tests(k); Tab(22); CheckBrackets(tests(k))
Next k
