' The map engine of a small text adventure, driven by a fixed script of commands instead of the
' keyboard. Rooms are records linked by the numbers of their neighbours; commands are parsed
' into a verb and a noun; moves go through On ... GoSub; the shortest way between two rooms is
' found by a breadth-first search over the links.
Option Explicit

Type Room
    Title As String * 14
    North As Integer
    South As Integer
    East As Integer
    West As Integer
    Item As String
    Visits As Integer
    Locked As Integer        ' True: the way in needs the key
End Type

Const RoomCount = 8
Const ErrLocked = 2500
Const ErrNoWay = 2501
Dim Rooms(1 To RoomCount) As Room
Dim Here As Integer
Dim Carried() As String, CarriedCount As Integer
Dim Moves As Integer

Sub Link(ByVal a As Integer, ByVal dir As String, ByVal b As Integer)
    ' Every link goes both ways.
    Select Case dir
        Case "n": Rooms(a).North = b: Rooms(b).South = a
        Case "s": Rooms(a).South = b: Rooms(b).North = a
        Case "e": Rooms(a).East = b: Rooms(b).West = a
        Case "w": Rooms(a).West = b: Rooms(b).East = a
    End Select
End Sub

Sub BuildMap()
    Dim titles As Variant, k As Integer
    titles = Array("Gatehouse", "Courtyard", "Great hall", "Kitchen", "Library", "Chapel", "Cellar", "Tower")
    For k = 1 To RoomCount
        Rooms(k).Title = titles(k - 1)
    Next k
    Link 1, "n", 2: Link 2, "n", 3: Link 3, "e", 4: Link 3, "w", 5
    Link 2, "e", 6: Link 4, "s", 7: Link 5, "n", 8
    Rooms(4).Item = "lamp": Rooms(6).Item = "key": Rooms(8).Item = "map"
    Rooms(7).Locked = True
End Sub

Function Neighbour(ByVal r As Integer, ByVal d As Integer) As Integer
    Neighbour = Choose(d, Rooms(r).North, Rooms(r).South, Rooms(r).East, Rooms(r).West)
End Function

Function DirectionOf(ByVal word As String) As Integer
    Select Case LCase$(word)
        Case "n", "north": DirectionOf = 1
        Case "s", "south": DirectionOf = 2
        Case "e", "east": DirectionOf = 3
        Case "w", "west": DirectionOf = 4
        Case Else: DirectionOf = 0
    End Select
End Function

Function IsCarried(ByVal thing As String) As Boolean
    Dim k As Integer
    For k = 1 To CarriedCount
        If Carried(k) = thing Then IsCarried = True: Exit Function
    Next k
End Function

Function Score() As Integer
    Static best As Integer
    Dim k As Integer, s As Integer
    For k = 1 To RoomCount
        If Rooms(k).Visits > 0 Then s = s + 10
    Next k
    s = s + 25 * CarriedCount
    If s > best Then best = s
    Score = best      ' the score never goes down, even after dropping things
End Function

' Moves in direction d (1 to 4); a wall or a locked door raises an error of our own.
Sub Walk(ByVal d As Integer)
    Dim target As Integer
    On d GoSub TryNorth, TrySouth, TryEast, TryWest
    If target = 0 Then Error ErrNoWay
    If Rooms(target).Locked And Not IsCarried("key") Then Error ErrLocked
    Here = target
    Moves = Moves + 1
    Rooms(Here).Visits = Rooms(Here).Visits + 1
    Exit Sub
TryNorth: target = Rooms(Here).North: Return
TrySouth: target = Rooms(Here).South: Return
TryEast: target = Rooms(Here).East: Return
TryWest: target = Rooms(Here).West: Return
End Sub

' Breadth-first search: the directions of a shortest way from one room to another.
Function ShortestWay(ByVal from As Integer, ByVal goal As Integer) As String
    Dim queue(1 To RoomCount) As Integer, came(1 To RoomCount) As Integer, how(1 To RoomCount) As Integer
    Dim head As Integer, tail As Integer, r As Integer, d As Integer, nb As Integer, way As String
    head = 1: tail = 1: queue(1) = from: came(from) = -1
    Do While head <= tail
        r = queue(head): head = head + 1
        If r = goal Then Exit Do
        For d = 1 To 4
            nb = Neighbour(r, d)
            If nb > 0 Then
                If came(nb) = 0 Then
                    came(nb) = r: how(nb) = d
                    tail = tail + 1: queue(tail) = nb
                End If
            End If
        Next d
    Loop
    If came(goal) = 0 Then ShortestWay = "no way": Exit Function
    r = goal
    Do While r <> from
        way = Choose(how(r), "n", "s", "e", "w") & way
        r = came(r)
    Loop
    ShortestWay = way
End Function

Function FindRoom(ByVal title As String) As Integer
    Dim k As Integer
    For k = 1 To RoomCount
        If LCase$(RTrim$(Rooms(k).Title)) = LCase$(title) Then FindRoom = k: Exit Function
    Next k
End Function

Sub Perform(ByVal text As String)
    Dim verb As String, noun As String, sp As Integer, d As Integer, k As Integer
    text = LCase$(Trim$(text))
    sp = InStr(text, " ")
    If sp > 0 Then
        verb = Left$(text, sp - 1): noun = LTrim$(Mid$(text, sp + 1))
    Else
        verb = text: noun = ""
    End If
    Print "> "; text
    On Error GoTo Refused
    If DirectionOf(verb) > 0 Then noun = verb: verb = "go"
    Select Case verb
        Case "go"
            d = DirectionOf(noun)
            If d = 0 Then Print "  Which way is "; noun; "?": Exit Sub
            Walk d
            Print "  "; RTrim$(Rooms(Here).Title); IIf(Rooms(Here).Visits > 1, " (again)", "")
        Case "look"
            Print "  "; RTrim$(Rooms(Here).Title); ". Exits:";
            For d = 1 To 4
                If Neighbour(Here, d) > 0 Then Print " "; Choose(d, "north", "south", "east", "west");
            Next d
            Print IIf(Rooms(Here).Item <> "", ". There is a " & Rooms(Here).Item & " here.", ".")
        Case "take"
            If Rooms(Here).Item <> noun Or noun = "" Then
                Print "  No "; noun; " here."
            Else
                CarriedCount = CarriedCount + 1
                ReDim Preserve Carried(1 To CarriedCount)
                Carried(CarriedCount) = noun
                Rooms(Here).Item = ""
                Print "  Taken."
            End If
        Case "drop"
            For k = 1 To CarriedCount
                If Carried(k) = noun Then
                    Carried(k) = Carried(CarriedCount)
                    CarriedCount = CarriedCount - 1
                    If CarriedCount > 0 Then ReDim Preserve Carried(1 To CarriedCount) Else Erase Carried
                    Rooms(Here).Item = noun
                    Print "  Dropped."
                    Exit Sub
                End If
            Next k
            Print "  You have no "; noun; "."
        Case "inventory"
            Print "  Carrying"; CarriedCount; "thing(s):";
            For k = 1 To CarriedCount: Print " "; Carried(k);: Next k
            Print
        Case "path"
            k = FindRoom(noun)
            If k = 0 Then
                Print "  There is no "; noun; "."
            ElseIf k = Here Then
                Print "  You are in the "; noun; "."
            Else
                Print "  Way to "; noun; ": "; ShortestWay(Here, k)
            End If
        Case "score"
            Print "  Score"; Score(); "in"; Moves; "moves"
        Case Else
            Print "  I don't know how to "; verb; "."
    End Select
    Exit Sub
Refused:
    Select Case Err
        Case ErrNoWay: Print "  You can't go that way."
        Case ErrLocked: Print "  The door is locked."
        Case Else: Print "  Error"; Err; Error$
    End Select
    Exit Sub
End Sub

' ---- main ----
Dim script As Variant, k As Integer
BuildMap
Here = 1: Rooms(1).Visits = 1
script = Array("look", "go north", "n", "look", "east", "take lamp", "take sword", "score", _
               "s", "go down", "w", "w", "north", "take map", "inventory", "path kitchen", _
               "path chapel", "s", "e", "s", "e", "look", "take key", "score", "path cellar", _
               "w", "n", "e", "drop map", "drop map", "look", "s", "look", "score", "n", "jump", _
               "path tower", "path atlantis", "w", "w", "n", "path tower", "inventory")
For k = LBound(script) To UBound(script)
    Perform script(k)
Next k
Print "Visited:";
For k = 1 To RoomCount
    If Rooms(k).Visits > 0 Then Print " "; RTrim$(Rooms(k).Title); "("; LTrim$(Str$(Rooms(k).Visits)); ")";
Next k
Print
