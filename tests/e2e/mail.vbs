' The mail client stand-ins as the component calls them: namespace, logon, items by id, the safe
' item saving a message file. Argument: the folder to save into.
Option Explicit
Dim passed, failed
passed = 0 : failed = 0
Sub Check(name, condition)
  If condition Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL: " & name
  End If
End Sub

Dim app, ns, item, safe, fso, target
Set fso = CreateObject("Scripting.FileSystemObject")
target = WScript.Arguments(0) & "\delivery.msg"
Set app = CreateObject("Outlook.Application")
Set ns = app.GetNamespace("MAPI")
ns.Logon , , True
Set item = ns.GetItemFromID("00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001")
Check "item found by its entry id", item.Subject = "Re: delivery dates" And item.Class = 43
Check "an unknown id is Nothing", ns.GetItemFromID("FFFF") Is Nothing
Check "contact class", ns.GetItemFromID("00000000A1B2C3D4E5F60718293A4B5C6D7E8F9002").Class = 40

Set safe = CreateObject("Redemption.SafeMailItem")
safe.Item = item
Check "safe item wraps the item", safe.Subject = "Re: delivery dates"
safe.SaveAs target, 3
Check "message file written", fso.FileExists(target)

Dim probe
Set probe = CreateObject("Procwatch.clsEngine")
Check "mail client running (" & WScript.Arguments(1) & ")", probe.IsRunning("OUTLOOK.EXE") = (WScript.Arguments(1) = "running")

ns.GetItemFromID("00000000A1B2C3D4E5F60718293A4B5C6D7E8F9004").Display
' The window lives as long as this process: stay a moment (Wine's host has no WScript.Sleep).
Dim started
started = Timer
If WScript.Arguments(1) = "stopped" Then
  Do While Timer - started < 2.5 And Timer >= started
  Loop
End If
WScript.Echo "mail.vbs: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
