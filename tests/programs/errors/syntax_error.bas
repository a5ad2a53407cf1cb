' A statement the reader cannot parse: an operator with no right operand.
Dim x As Integer
x = 1 +
Print x
