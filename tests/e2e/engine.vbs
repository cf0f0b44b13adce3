' Quillbox.Engine seen from a script host: creation, silent returns, errors raised to the caller.
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

Dim engine
Set engine = CreateObject("Quillbox.Engine")
Check "created", IsObject(engine)

On Error Resume Next
engine.ShowEditName "C:\qbtest\not-in-the-suite.txt"
Check "unknown path returns without error (" & Err.Description & ")", Err.Number = 0
Err.Clear

engine.ShowEditComment "C:\qbtest\not-in-the-suite.txt"
Check "unknown path, comment dialog", Err.Number = 0
Err.Clear

engine.ShowRelation "C:\qbtest\not-in-the-suite.txt"
Check "relation window for an unknown path returns without error", Err.Number = 0
Err.Clear

' No address and no browser page: no item, no window, no error.
engine.ShowRelationWeb ""
Check "optional arguments may be omitted (" & Err.Number & ")", Err.Number = 0
Err.Clear

engine.ShowRelationWeb "", , "memo", True
Check "an omitted middle argument (" & Err.Number & ")", Err.Number = 0
Err.Clear

engine.ShowEditName
Check "required argument missing: 449 (" & Err.Number & ")", Err.Number = 449
Err.Clear

engine.NoSuchOperation
Check "unknown member: 438", Err.Number = 438
Err.Clear

engine.ShowEditName "a", "b"
Check "one argument too many: 450 (" & Err.Number & ")", Err.Number = 450
Err.Clear

engine.UploadXXX 1, 2, 3
Check "arguments to an operation that takes none: 450 (" & Err.Number & ")", Err.Number = 450
Err.Clear

engine.ShowRelationWeb "http://127.0.0.1/suite/index.html", , , "not a truth value"
Check "an argument of the wrong type: 13 (" & Err.Number & ")", Err.Number = 13
Err.Clear

engine.ShowEditName Null
Check "Null for a text: 94 (" & Err.Number & ")", Err.Number = 94
Err.Clear
On Error Goto 0

WScript.Echo "engine.vbs: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
