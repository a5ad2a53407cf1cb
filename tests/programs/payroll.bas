' Weekly payroll. All money is Currency: the time clock gives hours in hundredths and rates
' are in cents. Currency products keep four decimals (the rest is cut off), gross pay, tax and
' pension are rounded to the cent as the pay office does (gross and tax half up, pension to the
' even cent), and each department's totals are summed at the end.
Option Explicit

Type Employee
    Id As Integer
    Name As String * 14
    Dept As String * 8
    Salaried As Integer     ' True or False (a record field cannot be a Boolean)
    Rate As Currency        ' per hour, or per week when salaried
    Hours As Currency
    Allowance As Currency   ' tax-free part of the week's pay
    Gross As Currency
    Tax As Currency
    Pension As Currency
    Net As Currency
End Type

Const StandardWeek As Currency = 40
Const DoubleTimeAfter As Currency = 50
Const TimeAndAHalf As Currency = 1.5
Const DeptCount = 3

Dim Staff() As Employee
Dim StaffCount As Integer
Dim DeptName(1 To DeptCount) As String
Dim DeptGross(1 To DeptCount) As Currency, DeptNet(1 To DeptCount) As Currency
Dim DeptTax(1 To DeptCount) As Currency, DeptHeads(1 To DeptCount) As Integer

Sub Hire(ByVal nm As String, ByVal dept As String, ByVal salaried As Boolean, _
         ByVal rate As Currency, ByVal hours As Currency, ByVal allowance As Currency)
    StaffCount = StaffCount + 1
    ReDim Preserve Staff(1 To StaffCount)
    SetupRecord StaffCount, nm, dept, salaried, rate, hours, allowance
End Sub

' Fills in the record of a new employee (a helper, so that Hire stays short).
Sub SetupRecord(ByVal k As Integer, ByVal nm As String, ByVal dept As String, ByVal salaried As Boolean, _
          ByVal rate As Currency, ByVal hours As Currency, ByVal allowance As Currency)
    Staff(k).Id = 100 + k
    Staff(k).Name = nm
    Staff(k).Dept = dept
    Staff(k).Salaried = salaried
    Staff(k).Rate = rate
    Staff(k).Hours = hours
    Staff(k).Allowance = allowance
End Sub

' Rounds half a cent up (amounts here are never negative).
Function HalfUpCents(ByVal x As Currency) As Currency
    HalfUpCents = Int(x * 100 + 0.5) / 100
End Function

Function GrossPay(e As Employee) As Currency
    Dim regular As Currency, overtime As Currency, doubled As Currency
    If e.Salaried Then
        GrossPay = e.Rate
        Exit Function
    End If
    If e.Hours <= StandardWeek Then
        regular = e.Hours
    Else
        regular = StandardWeek
        If e.Hours <= DoubleTimeAfter Then
            overtime = e.Hours - StandardWeek
        Else
            overtime = DoubleTimeAfter - StandardWeek
            doubled = e.Hours - DoubleTimeAfter
        End If
    End If
    ' Overtime at time and a half can come to a fraction of a cent: that part is rounded.
    GrossPay = HalfUpCents(regular * e.Rate + overtime * e.Rate * TimeAndAHalf + doubled * e.Rate * 2)
End Function

' Tax on the week's taxable pay, by bracket.
Function WeeklyTax(ByVal taxable As Currency) As Currency
    Dim t As Currency
    Select Case taxable
        Case Is <= 0
            t = 0
        Case Is <= 200
            t = 0
        Case 200 To 700
            t = (taxable - 200) * 0.15
        Case 700 To 1500
            t = 75 + (taxable - 700) * 0.25
        Case Else
            t = 275 + (taxable - 1500) * 0.35
    End Select
    WeeklyTax = HalfUpCents(t)
End Function

Function DeptIndex(ByVal dept As String) As Integer
    Select Case RTrim$(dept)
        Case "Assembly": DeptIndex = 1
        Case "Shipping": DeptIndex = 2
        Case "Office": DeptIndex = 3
        Case Else: DeptIndex = 0
    End Select
End Function

Sub RunPayroll()
    Dim k As Integer, d As Integer, taxable As Currency, pension As Currency
    For k = 1 To StaffCount
        Staff(k).Gross = GrossPay(Staff(k))
        taxable = Staff(k).Gross - Staff(k).Allowance
        If taxable < 0 Then taxable = 0
        Staff(k).Tax = WeeklyTax(taxable)
        ' Five percent to the pension fund: kept to four decimals first, then rounded to the
        ' even cent (30.625 goes to 30.62, 69.795 to 69.80).
        pension = Staff(k).Gross / 20
        Staff(k).Pension = Round(pension, 2)
        Staff(k).Net = Staff(k).Gross - Staff(k).Tax - Staff(k).Pension
        d = DeptIndex(Staff(k).Dept)
        DeptHeads(d) = DeptHeads(d) + 1
        DeptGross(d) = DeptGross(d) + Staff(k).Gross
        DeptTax(d) = DeptTax(d) + Staff(k).Tax
        DeptNet(d) = DeptNet(d) + Staff(k).Net
    Next k
End Sub

Function Money(ByVal v As Currency) As String
    Money = Right$(Space$(10) & Format$(v, "#,##0.00"), 10)
End Function

Sub PrintPaySlips()
    Dim k As Integer, hrs As String
    Print " Id  Name          Dept      Hours     Gross       Tax   Pension       Net"
    For k = 1 To StaffCount
        If Staff(k).Salaried Then hrs = "salary" Else hrs = Format$(Staff(k).Hours, "0.00")
        Print Staff(k).Id; Staff(k).Name; Staff(k).Dept; Right$(Space$(7) & hrs, 7); _
              Money(Staff(k).Gross); Money(Staff(k).Tax); Money(Staff(k).Pension); Money(Staff(k).Net)
    Next k
End Sub

Sub PrintDepartments()
    Dim d As Integer, g As Currency, t As Currency, n As Currency
    Print
    Print "Department   Staff     Gross       Tax       Net  Avg net"
    For d = 1 To DeptCount
        Print DeptName(d); Tab(13); DeptHeads(d); Tab(19); Money(DeptGross(d)); Money(DeptTax(d)); _
              Money(DeptNet(d)); Money(DeptNet(d) / DeptHeads(d))
        g = g + DeptGross(d): t = t + DeptTax(d): n = n + DeptNet(d)
    Next d
    Print "All"; Tab(13); StaffCount; Tab(19); Money(g); Money(t); Money(n); Money(n / StaffCount)
    Print "Tax is "; Format$(t / g, "0.00%"); " of gross pay"
End Sub

' ---- main ----
Dim k As Integer, best As Integer
DeptName(1) = "Assembly": DeptName(2) = "Shipping": DeptName(3) = "Office"

Hire "Ada Moreno", "Assembly", False, 18.75, 38.5, 120
Hire "Ben Okafor", "Assembly", False, 19.47, 45.39, 120
Hire "Cara Lind", "Shipping", False, 17.3, 52.25, 100
Hire "Dev Patel", "Shipping", False, 17.3, 40, 150
Hire "Eva Novak", "Office", True, 1985, 0, 200
Hire "Finn Walsh", "Office", True, 612.5, 0, 0
Hire "Gus Ito", "Assembly", False, 21.15, 55.5, 80
Hire "Hana Berg", "Shipping", False, 16.8, 12, 150

RunPayroll
PrintPaySlips
PrintDepartments

best = 1
For k = 2 To StaffCount
    If Staff(k).Net > Staff(best).Net Then best = k
Next k
Print "Highest net pay: "; RTrim$(Staff(best).Name); " ("; Format$(Staff(best).Net, "Currency"); ")"
Print "Staff records:"; UBound(Staff) - LBound(Staff) + 1; "of"; Len(Staff(1)); "bytes"
