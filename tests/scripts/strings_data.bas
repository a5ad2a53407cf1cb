' Cleaning up fixed-width customer records with the string builtins.
raw = "  ada     LOVELACE  1815-12-10  London    "
first$ = Trim(Mid(raw, 1, 10)): last$ = Trim$(Mid$(raw, 11, 10)): born$ = Mid(raw, 21, 10): city$ = RTrim(Mid(raw, 33))
? "["; first$; "] ["; last$; "] ["; born$; "] ["; city$; "]"
? UCase(Left(first$, 1)) & LCase(Mid(first$, 2)); " "; UCase$(Left$(last$, 1)) & LCase$(Mid$(last$, 2))
? "Born in"; Val(born$); "- month"; Val(Mid(born$, 6, 2)); "- aged"; 1852 - Val(born$); "in 1852"
? "City: "; Right(city$, 3); " "; Len(city$); "letters, padded: ["; LTrim("   x"); "|"; RTrim$("x   "); "]"
? "Initials: "; Left(first$, 1) & Left(last$, 1); "  rule: "; String(10, "-"); String$(3, 42); "  gap:["; Space(3); "]"
? "Codes: "; Asc("A"); Asc("a"); " chr: "; Chr(72) & Chr$(105)
? "Numbers in text: "; Val("  42 apples"); Val("3.5e2"); Val("&HFF"); Val("1,000"); IsNumeric("1,000"); IsNumeric("12abc")
? "Bytes: "; LeftB$("hello", 2); MidB$("hello", 3, 2); RightB$("hello", 1); MidB("hello", 2, 3)
? "Str: ["; Str(42); "] ["; Str(-42); "] ["; CStr(42); "]"
? "Concatenation: "; 1 & 2; " "; "a" + "b"; " "; "1" + 2
? "Empty pieces: ["; Left("abc", 0); Mid("abc", 4); Right("", 2); "]"; Len(""); Len(Null)
