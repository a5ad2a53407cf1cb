' Variant values: their types, the operators between them, the selection builtins.
v = 5: ? VarType(v); VarType(v * 1.5); VarType(v & ""); VarType(Null); VarType(v = 5)
i = 32767: l = 2147483647: ? i + 1; VarType(i + 1); l + 1; VarType(l + 1)
? Empty + 5; "|"; Empty & "x"; "|"; Empty = 0; IsEmpty(Empty); IsEmpty(0)
? Null + 1; " "; Null And 0; " "; Null Or 5; " "; Null Imp 5; " "; 5 Imp Null
? "10" + 5; "10" & 5; "10" - "3"; "abc" > 5; 5 > "abc"
? #1/1/2024# + 1; " "; VarType(#1/1/2024# * 1); " "; #12/25/1996# = "12/25/96"
? 7 \ 2; -7 \ 2; 7 Mod -3; 2.5 ^ 2; -(-32768); VarType(-(-32768))
? 1.5 And 1; 6 Or 1; 12 Xor 10; Not 0; Not -1
? IIf(v > 3, "big", "small"); " "; Choose(3, "one", "two", "three"); " "; Switch(v < 0, "neg", v = 0, "zero", v > 0, "pos")
? Partition(42, 0, 99, 10); " "; Partition(-1, 0, 99, 10); " "; Partition(150, 0, 99, 10)
? IsNull(Choose(9, 1, 2)); IsError(CVErr(5)); CVErr(5); IsDate(#1/1/2000#); IsNumeric(Empty)
? CCur(1.23456); CSng(1.1); CDbl(CSng(1.1)) = 1.1; CBool("True"); CDate("Jan 2, 2003"); CDate("1/2/2003") = #1/2/2003#
? Abs(-7.5); Sgn(-0.1); Sgn(0); Int(-7.5); Fix(-7.5); CInt(-7.5); CLng(6.5)
a = Rnd(-7): b = Rnd: c = Rnd(-7): ? a = c; b = Rnd; Rnd(0) = b; Rnd(0) = Rnd(0)
? Rnd(-3) = Rnd(-3); Rnd(-3) <> Rnd(-4); Int(Rnd * 6) + 1 <= 6
? Format(Exp(1), "0.00000"); " "; Format(Log(100) / Log(10), "0.0"); " "; Format(Sin(0) + Cos(0), "0"); " "; Format(Tan(Atn(1)), "0.0")
