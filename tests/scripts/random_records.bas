' An inventory kept in a Random file of fixed-width records, updated in place with Get and Put.
Open "stock.dat" For Random As #1 Len = 32
For k = 1 To 4: rec$ = Space(24): LSet rec$ = Choose(k, "Widget", "Gadget", "Gizmo", "Doohickey"): q$ = Space(6): RSet q$ = CStr(k * 10): Mid(rec$, 19, 6) = q$: Put #1, k, rec$: Next
? "Written:"; Loc(1); "records,"; LOF(1); "bytes"
' Sell 3 gadgets: read record 2, change its quantity, write it back where it was.
Lock #1, 2: Get #1, 2, rec$: qty = Val(Mid(rec$, 19)) - 3: Mid(rec$, 19, 6) = Right(Space(6) & qty, 6): Put #1, 2, rec$: Unlock #1, 2
' A new name for record 4, keeping its quantity.
Get #1, 4, rec$: name$ = Space(18): LSet name$ = "Thingamajig": Mid(rec$, 1, 18) = name$: Put #1, 4, rec$
For k = 1 To 4: Get #1, k, rec$: ? k; "["; rec$; "]"; Val(Mid(rec$, 19)): Next
' Seek moves to a record; Get without a number reads the next one.
Seek #1, 3: Get #1, , rec$: ? "Record"; Loc(1); "is "; RTrim(Left(rec$, 18)); ", next is"; Seek(1)
' A record past the end reads as empty; record 0 and a value longer than a record are traps.
Get #1, 9, rec$: ? "Past the end: ["; rec$; "]"
Get #1, 0, rec$
Put #1, 5, String(40, "x")
Close #1
' Prices as Currency values, eight bytes each: one per record.
Open "prices.dat" For Random As #2 Len = 8
For k = 1 To 4: p@ = k * 1.25: Put #2, k, p@: Next
Get #2, 3, p@: p@ = p@ * 2: Put #2, 3, p@
total@ = 0: For k = 1 To 4: Get #2, k, p@: total@ = total@ + p@: Next
? "Prices:"; LOF(2); "bytes, total "; Format(total@, "0.00")
Close
