' A call of a procedure that does not exist.
Sub Greet(who As String)
    Print "Hello, "; who
End Sub

Greet "Ada"
Gret "Bob"
