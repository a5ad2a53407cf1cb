' Stock control for a small parts store. The stock lives in a Random file of fixed-length
' records, one record per part; a part keeps its record number for life, so updates go
' straight to the record with Get and Put.
Option Explicit

Type StockItem
    Code As String * 6
    Description As String * 20
    Price As Currency
    Quantity As Integer
    Reorder As Integer
End Type

Const StockFile = "stock.dat"
Dim StockNo As Integer
Dim Item As StockItem

' Opens (and creates) the stock file; the record length comes from the record type.
Sub OpenStock()
    StockNo = FreeFile
    Open StockFile For Random As #StockNo Len = Len(Item)
End Sub

Function RecordCount() As Long
    RecordCount = LOF(StockNo) \ Len(Item)
End Function

' Appends a part at the end of the file and returns its record number.
Function AddItem(ByVal Code As String, ByVal Description As String, ByVal Price As Currency, _
                 ByVal Quantity As Integer, ByVal Reorder As Integer) As Long
    Dim r As StockItem, recNo As Long
    r.Code = UCase$(Code)
    r.Description = Description
    r.Price = Price
    r.Quantity = Quantity
    r.Reorder = Reorder
    recNo = RecordCount() + 1
    Put #StockNo, recNo, r
    AddItem = recNo
End Function

' Changes the quantity of the part in record recNo by delta. A record number outside the file
' is reported and leaves the stock as it was; the result tells whether the update happened.
Function UpdateQuantity(ByVal recNo As Long, ByVal delta As Integer) As Boolean
    Dim r As StockItem
    On Error GoTo BadRecord
    ' Get reads an empty record past the end of the file, so that case is raised here.
    If recNo > RecordCount() Then Error 63
    Get #StockNo, recNo, r
    If r.Quantity + delta < 0 Then
        Print "  Not enough "; RTrim$(r.Description); ": have"; r.Quantity; "want"; -delta
        UpdateQuantity = False
        Exit Function
    End If
    r.Quantity = r.Quantity + delta
    Put #StockNo, recNo, r
    UpdateQuantity = True
    Exit Function
BadRecord:
    Print "  Record"; recNo; "refused: error"; Err; "("; Error$; ")"
    UpdateQuantity = False
    Exit Function
End Function

' Returns the record number of the part with that code, 0 when there is none.
Function FindByCode(ByVal Code As String) As Long
    Dim k As Long, r As StockItem
    For k = 1 To RecordCount()
        Get #StockNo, k, r
        If RTrim$(r.Code) = UCase$(Code) Then
            FindByCode = k
            Exit Function
        End If
    Next k
    FindByCode = 0
End Function

Sub ListStock(ByVal Title As String)
    Dim k As Long, r As StockItem
    Print Title
    Print "Rec"; Tab(6); "Code"; Tab(13); "Description"; Tab(37); "Price"; Tab(46); "Qty"
    For k = 1 To RecordCount()
        Get #StockNo, k, r
        ' The @ placeholders are a string format: the numbers go in as text, right-aligned.
        Print Format$(CStr(k), "@@@"); Tab(6); r.Code; Tab(13); r.Description; Tab(34); _
              Format$(Format$(r.Price, "#,##0.00"), "@@@@@@@@"); Tab(44); Format$(CStr(r.Quantity), "@@@@@")
    Next k
End Sub

Function StockValue() As Currency
    Dim k As Long, r As StockItem, total As Currency
    For k = 1 To RecordCount()
        Get #StockNo, k, r
        total = total + r.Price * r.Quantity
    Next k
    StockValue = total
End Function

Sub ReorderReport()
    Dim k As Long, r As StockItem, n As Integer
    Print "Parts to reorder:"
    For k = 1 To RecordCount()
        Get #StockNo, k, r
        If r.Quantity <= r.Reorder Then
            Print "  "; r.Code; " "; RTrim$(r.Description); " ("; r.Quantity; "left, order"; _
                  2 * r.Reorder - r.Quantity; ")"
            n = n + 1
        End If
    Next k
    If n = 0 Then Print "  none"
End Sub

Sub Lookup(ByVal Code As String)
    Dim recNo As Long, r As StockItem
    recNo = FindByCode(Code)
    If recNo = 0 Then
        Print "Code "; Code; ": not stocked"
    Else
        Get #StockNo, recNo, r
        Print "Code "; Code; ": record"; recNo; "-> "; RTrim$(r.Description); ","; r.Quantity; "at"; r.Price
    End If
End Sub

' ---- main ----
Dim ok As Boolean
If Dir$(StockFile) <> "" Then Kill StockFile
OpenStock
Print "Record length:"; Len(Item)
Print "Added as record"; AddItem("bl100", "Hex bolt M8 x 40", 0.35, 500, 100)
Print "Added as record"; AddItem("NT100", "Hex nut M8", 0.08, 1200, 200)
Print "Added as record"; AddItem("WS100", "Washer M8 (zinc)", 0.04, 150, 200)
Print "Added as record"; AddItem("HG220", "Gate hinge 220 mm", 7.95, 12, 5)
Print "Added as record"; AddItem("PD050", "Padlock 50 mm brass", 14.5, 3, 4)
Print "File size:"; LOF(StockNo); "bytes,"; RecordCount(); "records"
ListStock "Opening stock"
Print "Stock value: "; Format$(StockValue(), "#,##0.00")

Print "Updates:"
ok = UpdateQuantity(1, -120)
Print "  sold 120 bolts:"; ok
ok = UpdateQuantity(FindByCode("ws100"), 1000)
Print "  received 1000 washers:"; ok
ok = UpdateQuantity(5, -4)
Print "  sold 4 padlocks:"; ok
ok = UpdateQuantity(9, 10)
Print "  record 9:"; ok
ok = UpdateQuantity(0, 1)
Print "  record 0:"; ok
ok = UpdateQuantity(4, -9)
Print "  sold 9 hinges:"; ok

' Close and open again: what was written must come back from the disk.
Close #StockNo
OpenStock
ListStock "After the updates"
Print "Stock value: "; Format$(StockValue(), "#,##0.00")
Lookup "HG220"
Lookup "nt100"
Lookup "XX999"
ReorderReport
Close #StockNo
Print "On disk:"; FileLen(StockFile); "bytes"
Kill StockFile
