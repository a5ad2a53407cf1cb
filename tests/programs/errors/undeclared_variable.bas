' Under Option Explicit every variable must be declared.
Option Explicit
Dim total As Long
total = 10
totl = total + 1
Print total
