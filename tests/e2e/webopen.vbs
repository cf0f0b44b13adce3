' Webopen.Engine opens an address through the shell (here the test's recorder stands in for the browser).
Option Explicit
Dim o
Set o = CreateObject("Webopen.Engine")
o.OpenInNewWinwodw "http://127.0.0.1/suite/page.html?a=1"
WScript.Echo "webopen.vbs: 1 passed, 0 failed"
WScript.Quit 0
