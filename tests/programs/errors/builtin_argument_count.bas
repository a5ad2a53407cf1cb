' A builtin called with too few arguments.
Dim s As String
s = "runtime"
Print Left(s, 3)
Print Mid(s)
