' Lines that trap: each reports its error, the program goes on with the next line.
? "start"
? 10 / 0
x% = 32767: x% = x% + 1: ? "not reached"
? "x% kept "; x%
? Left("abc", -1)
? Mid("abc", 0, 1)
? Sqr(-1)
? Log(0)
Open "no such file.txt" For Input As #1
Close #1: Print #1, "closed"
? CInt("twelve")
? Sgn(Null)
? DateAdd("fortnight", 1, Now)
Error 1000
? CVErr(70000)
? Error$(7); " / "; Error$(53)
? "first part"; 1 / 0; "never"
? "end"
