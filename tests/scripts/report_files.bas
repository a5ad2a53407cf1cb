' A stock report written with Print # and Write #, then read back with Line Input # and Input #.
f = FreeFile: Open "stock.txt" For Output As #f
Print #f, "Stock report"
Write #f, "Widget, large", 12, 3.5
Write #f, "Gadget", 7, 12.25
Write #f, "Gizmo ""deluxe""", 0, 99
Close #f
Open "stock.txt" For Input As #1
Line Input #1, title$: ? title$; " ("; FileAttr(1, 1); ")"
total = 0: For k = 1 To 3: Input #1, item$, qty%, price@: ? item$; Tab(22); qty%; Tab(28); Format(price@, "0.00"): total = total + qty% * price@: Next
? "At end: "; EOF(1); "  value: "; Format(total, "#,##0.00")
Close #1
' Append a line, then read the whole file back a few bytes at a time.
Open "stock.txt" For Append As #2: Print #2, "-- end", "of report": Close #2
Open "stock.txt" For Input As #3: ? Input(12, #3): Line Input #3, rest$: ? "["; rest$; "]": Close
Open "stock.txt" For Input As #1: For k = 1 To 5: Line Input #1, l$: Next: ? l$: Close
' Width # wraps printed lines.
Open "narrow.txt" For Output As #1: Width #1, 10: Print #1, "abcd"; "efgh"; "ijkl"; "mnop": Close
Open "narrow.txt" For Input As #1: For k = 1 To 2: Line Input #1, l$: ? "|"; l$; "|": Next: Close
' Open's access and lock words; a file already open cannot be opened a second time.
Open "stock.txt" For Input Access Read Shared As #4 Len = 512: ? "Mode"; FileAttr(4, 1)
Open "stock.txt" For Append As #5
Close #4: Open "stock.txt" For Binary Access Read Write Lock Write As #5: ? "Mode"; FileAttr(5, 1)
Reset: ? "Free file: "; FreeFile
