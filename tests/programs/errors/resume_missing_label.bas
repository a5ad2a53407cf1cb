' Resume to a label that does not exist.
On Error GoTo Handler
Error 5
End
Handler:
Resume Nowhere
