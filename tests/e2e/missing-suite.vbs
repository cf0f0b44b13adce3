' With the suite's components unregistered, the operation raises 429 to the script.
Option Explicit
Dim engine, failed
failed = 0
Set engine = CreateObject("Quillbox.Engine")
On Error Resume Next
engine.ShowEditName "C:\qbtest\report.txt"
If Err.Number <> 429 Then
  WScript.Echo "FAIL: number " & Err.Number
  failed = failed + 1
End If
If InStr(Err.Source, " Engine.ShowEditName() ") = 0 Then
  WScript.Echo "FAIL: source '" & Err.Source & "'"
  failed = failed + 1
End If
If Err.Description <> "ActiveX component can't create object" Then
  WScript.Echo "FAIL: description '" & Err.Description & "'"
  failed = failed + 1
End If
WScript.Echo "missing-suite.vbs: " & (3 - failed) & " passed, " & failed & " failed"
WScript.Quit failed
