' A short tour of brtl: each line below is evaluated by the library's own builtins.
? "Hello from brtl "; Format(Now, "yyyy")
? "Arithmetic through the Variant operators:"; 1 + 2 * 3; 2 ^ 10; 7 \ 2; 7 Mod 3; 32767 + 1
? "Strings: "; UCase("basic"); " "; Mid("runtime", 1, 3); " ["; Trim("  padded  "); "] "; "5" + "3"; " "; "5" + 3
? "Format: "; Format(1234567.891, "#,##0.00"); " "; Format(0.075, "0.0%"); " "; Format(#7/20/1969#, "dddd, mmmm d, yyyy")
? "Dates: "; DateAdd("m", 1, #1/31/2024#); " is"; DateDiff("d", #1/31/2024#, #2/29/2024#); "days later, a "; Format(#2/29/2024#, "dddd")
? "A loan of 20,000 over 5 years at 4.5%: "; Format(Pmt(0.045 / 12, 60, -20000), "Currency"); " a month"
? "Cash flows -1000, 300, 400, 500 return "; Format(IRR(Array(-1000, 300, 400, 500)), "0.00%")
For i = 1 To 5: ? i; "squared is"; i ^ 2; Tab(30); "root "; Format(Sqr(i), "0.000"): Next
? "Search: ""run"" is at"; InStr("brtl runtime", "run"); "of ""brtl runtime"", and ""ada@example.org"" Like ""*@*.org"" is "; CBool("ada@example.org" Like "*@*.org")
? "Environment: HOME is """; Environ("HOME"); """ and PATH has"; Len(Environ$("PATH")); "characters"
? "Variants: "; VarType(5); VarType("x"); VarType(#1/1/2000#); " "; Null + 1; " "; IIf(2 > 1, "yes", "no"); Choose(2, " a", " b")
' A line that traps prints "Run-time error N: text" and the next line runs (try: brtl -e "? 1 / 0").
? "Done: Error$(11) is """; Error$(11); """"
