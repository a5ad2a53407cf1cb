' A loan of 10,000 over one year at 6% a year, paid monthly: the schedule of payments.
principal = 10000: monthly = 0.06 / 12: months = 12
payment = Pmt(monthly, months, -principal)
? "Monthly payment: "; Format(payment, "Currency")
? "Month", "Interest", "Principal", "Balance"
balance = principal: For m = 1 To months: i = IPmt(monthly, m, months, -principal): p = PPmt(monthly, m, months, -principal): balance = balance - p: ? m, Format(i, "0.00"), Format(p, "0.00"), Format(balance, "#,##0.00"): Next
? "Total interest: "; Format(payment * months - principal, "0.00")
' The same loan read backwards: its monthly, term and present value.
? "Rate per year: "; Format(Rate(months, -payment, principal) * 12, "0.00%")
? "Months: "; Format(NPer(monthly, -payment, principal), "0")
? "Present value: "; Format(PV(monthly, months, -payment), "0.00")
? "Saved at 6% for a year, 100 a month: "; Format(FV(monthly, 12, -100), "0.00")
' Straight-line, sum-of-years and double-declining depreciation of a 5,000 machine.
? "SLN"; Format(SLN(5000, 500, 5), " 0.00"); "  SYD"; Format(SYD(5000, 500, 5, 1), " 0.00"); "  DDB"; Format(DDB(5000, 500, 5, 1), " 0.00")
flows = Array(-5000, 1200, 1400, 1600, 1800)
? "IRR "; Format(IRR(flows), "0.00%"); "  NPV at 8% "; Format(NPV(0.08, flows), "0.00"); "  MIRR "; Format(MIRR(flows, 0.1, 0.12), "0.00%")
