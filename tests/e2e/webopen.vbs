' Webopen.Engine opens an address through the shell (here the test's recorder stands in for the browser).
Option Explicit
Dim o, failed
On Error Resume Next
Set o = CreateObject("Webopen.Engine")
If Err.Number = 0 Then o.OpenInNewWinwodw "http://127.0.0.1/suite/page.html?a=1"
failed = 0
If Err.Number <> 0 Then
    WScript.Echo "FAIL the browser opener: " & Err.Description
    failed = 1
End If
WScript.Echo "webopen.vbs: " & (1 - failed) & " passed, " & failed & " failed"
WScript.Quit failed
