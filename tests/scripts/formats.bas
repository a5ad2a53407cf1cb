' Format on numbers, dates and text.
? Format(1234567.891, "#,##0.00"); " | "; Format(0.256, "0.0%"); " | "; Format(-5, "0;(0)")
? Format(5, "0.00;(0.00);""zero"""); " | "; Format(0, "0.00;(0.00);""zero"""); " | "; Format(-1.5, "0.00;(0.00)")
? Format(1234.5, "Currency"); " | "; Format(1234.5, "Fixed"); " | "; Format(1234.5, "Standard")
? Format(0.125, "Percent"); " | "; Format(12345, "Scientific"); " | "; Format(0, "Yes/No"); " "; Format(1, "True/False")
? Format(#3/4/2021 5:06:07 PM#, "yyyy-mm-dd hh:nn:ss"); " | "; Format(#3/4/2021#, "Long Date"); " | "; Format(#3/4/2021#, "ddd d mmm yy")
? Format(#5:06:07 PM#, "Medium Time"); " | "; Format(#5:06:07 PM#, "h:mm AM/PM"); " | "; Format(#3/4/2021#, "Short Date")
? Format("abc", ">"); " | "; Format("ABC", "<"); " | ["; Format("ab", "@@@@"); "] ["; Format("ab", "!@@@@"); "]"
? Format(42); " | "; Format(3.5, "00000"); " | "; Format(0.5, "#.##"); " | "; Format(1E+20, "0")
? Format$(Now, "yyyy") = CStr(Year(Now))
