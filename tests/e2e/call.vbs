' call.vbs OPERATION PATH [TITLE MEMO] (ShowRelationOutlook: ID NAME TYPE): one operation, as a host would call it; the error, if any, is printed.
' ShowRelationWebMemo passes a title, a proposed memo and asks for recommended keywords.
Option Explicit
Dim engine, args
Set args = WScript.Arguments
Set engine = CreateObject("Quillbox.Engine")
On Error Resume Next
Select Case args(0)
  Case "ShowEditName" : engine.ShowEditName args(1)
  Case "ShowEditComment" : engine.ShowEditComment args(1)
  Case "ShowEditPath" : engine.ShowEditPath args(1)
  Case "ShowRelation" : engine.ShowRelation args(1)
  Case "ShowRelationWeb" : engine.ShowRelationWeb args(1)
  Case "ShowRelationWebMemo" : engine.ShowRelationWeb args(1), args(2), args(3), True
  Case "ShowRelationWebEdition" : engine.ShowRelationWebEdition args(1)
  Case "ShowRelationOutlook" : engine.ShowRelationOutlook args(1), args(2), args(3)
End Select
If Err.Number <> 0 Then
  WScript.Echo "error " & Err.Number & ": " & Err.Description & " [" & Err.Source & "]"
  WScript.Echo "call.vbs: 0 passed, 1 failed"
  WScript.Quit 1
End If
WScript.Echo "call.vbs: 1 passed, 0 failed"
WScript.Quit 0
