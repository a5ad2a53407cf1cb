' GoTo to a label that is not defined.
Dim i As Integer
i = 1
If i > 0 Then GoTo Finish
Print "positive"
Finsh:
Print "done"
