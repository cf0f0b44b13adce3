' The stand-in suite through late binding, as the component calls it: argument positions,
' omitted arguments, answers, For Each over collections. Runs on standin/fixtures/sample.sql.
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

Function CountOf(coll)
  Dim x, n
  n = 0
  For Each x In coll
    n = n + 1
  Next
  CountOf = n
End Function

' Wine's VBScript has no working Eval: fields by name the long way.
Function FieldOf(x, field)
  Select Case field
    Case "ViewName" : FieldOf = x.ViewName
    Case "GroupName" : FieldOf = x.GroupName
    Case "ThemeId" : FieldOf = x.ThemeId
    Case "CatName" : FieldOf = x.CatName
  End Select
End Function

Function Names(coll, field)
  Dim x, s
  s = ""
  For Each x In coll
    If s <> "" Then s = s & ","
    s = s & FieldOf(x, field)
  Next
  Names = s
End Function

Dim o, r, c, x, viewId, n

' --- views, groups, keywords
Set o = CreateObject("Tesra.View")
Check "views listed by name", Names(o.GetAll, "ViewName") = "Personal,Projects"
Set o = CreateObject("Tesra.View")
o.loaddata 1
Set r = o.GetOne
Check "one view", r.ViewName = "Projects" And r.ViewId = 1 And r.ParentCategoryId = 100

Set o = CreateObject("Tesra.Group")
o.loaddata , , 1
Check "groups of a view", Names(o.GetByView, "GroupName") = "Clients,Status,Year"
Set o = CreateObject("Tesra.Group")
o.loaddata 99
Check "a vanished group is Nothing", o.GetOneById Is Nothing

viewId = 1
Set o = CreateObject("Tesra.KeyWord")
o.loaddata , , , viewId
Set c = o.GetAllByView
Check "keywords of a view: " & CountOf(c), CountOf(c) = 10
Set o = CreateObject("Tesra.KeyWord")
o.loaddata 132, , viewId
Set r = o.GetOneById
Check "one keyword with its fields", r.KeyName = "Orphan" And r.GroupId = 99 And r.ViewId = 1 And r.KeyId = 132

' --- keyword relations
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata 103, 3
Check "relation absent", o.ExistRegister = False
o.Insert
Check "relation stored", o.ExistRegister = True
o.Insert
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata , 3
Set c = o.GetByFileId
n = ""
For Each x In c
  n = n & x.KeyId & " "
Next
Check "relations of an item in the order made: " & n, n = "102 103 "
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata 103, 3
Set r = o.GetOne
If r.ExistRegister Then r.Delete
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata 103, 3
Check "relation deleted", o.ExistRegister = False
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata , 9
Check "no relations: empty collection", CountOf(o.GetByFileId) = 0

' --- memos, themes, categories
Set o = CreateObject("Tesra.Theme")
Check "four themes", Names(o.GetAll, "ThemeId") = "1,2,3,4"
Dim memoId, catId
Set o = CreateObject("Tesra.Memo")
o.loaddata , 3, "Ask legal about clause 7", 3, "NO", viewId
memoId = o.Insert
Check "memo insert answers the new id", memoId > 3
Set o = CreateObject("Tesra.Memo")
o.loaddata , 3, , , , viewId
Set c = o.GetByFileId
Check "memos of an item in a view", CountOf(c) = 1
For Each x In c
  Check "memo fields", x.MemoId = memoId And x.MemoText = "Ask legal about clause 7" And x.MemoTheme = "3" And x.FileId = 3
Next
Set o = CreateObject("Tesra.Memo")
o.loaddata , 3, , , , 2
Check "another view has none", CountOf(o.GetByFileId) = 0
Set o = CreateObject("Tesra.Memo")
o.loaddata memoId, , "Clause 7 settled", 1, True
o.Update
Set o = CreateObject("Tesra.Memo")
o.loaddata , 3, , , , viewId
For Each x In o.GetByFileId
  Check "memo updated", x.MemoText = "Clause 7 settled" And x.MemoTheme = "1"
Next

catId = 111
Set o = CreateObject("Tesra.CatMemo")
o.loaddata memoId, catId
o.Insert
Set o = CreateObject("Tesra.CatMemo")
o.loaddata memoId
Set r = o.GetRegistersByMemo
Check "memo filed in its category", r.CatId = 111
Set o = CreateObject("Tesra.CatMemo")
o.loaddata memoId, 112
Check "DeleteByMemo answers True", o.DeleteByMemo = True
Set o = CreateObject("Tesra.CatMemo")
o.loaddata memoId
Check "filing removed", o.GetRegistersByMemo Is Nothing

Set o = CreateObject("Tesra.Category")
o.loaddata , , , 0
Check "root categories", Names(o.GetByParentId, "CatName") = "Personal,Projects"
Set o = CreateObject("Tesra.Category")
o.loaddata , , , 100
Check "second level", Names(o.GetByParentId, "CatName") = "Engineering,Sales"
Set o = CreateObject("Tesra.Category")
o.loaddata , , , 110
Set c = o.GetByParentId
Check "third level", Names(c, "CatName") = "Invoices,Offers"
For Each x In c
  Check "parent id read back", x.ParentCategoryId = 110
Next

' --- attachments
Set o = CreateObject("Tesra.Attach")
o.loaddata 3, 1
Check "a pair matches in either order", o.ExistRegister = True
Set o = CreateObject("Tesra.Attach")
o.loaddata 4, 1
o.Insert
Set o = CreateObject("Tesra.Attach")
o.loaddata 1
n = ""
For Each x In o.GetByAttach
  n = n & x.Attach1 & "-" & x.Attach2 & " "
Next
Check "pairs of an item: " & n, n = "1-3 4-1 "
Set o = CreateObject("Tesra.Attach")
o.loaddata 1, 4
Set r = o.GetOne
If r.ExistRegister Then r.Delete
Set o = CreateObject("Tesra.Attach")
o.loaddata 4, 1
Check "pair deleted", o.ExistRegister = False

' --- items
Set o = CreateObject("Tesra.File")
o.loaddata , , , "c:\quillbox demo\quarterly report.txt"
Check "item found by path whatever the letter case", o.ExistFile = True
Set r = o.GetOne
Check "item fields", r.FileId = 1 And r.FileName = "Quarterly report" And r.FileType = "File"
Set o = CreateObject("Tesra.File")
o.loaddata 4
Set r = o.GetOneById
Check "item by id", r.FileCurrentPath = "/Price list.xls"
r.UpDateComment "Replaced in May"
Check "update seen on the object", r.FileComment = "Replaced in May"
' An answer's keys are its fields as answered; they follow an update only through loaddata.
r.UpDatePath "/Moved/Price list.xls"
Check "path update seen on the object, other fields kept", r.FileCurrentPath = "/Moved/Price list.xls" And r.FileId = 4
Check "its keys still name the old path", r.ExistFile = False
r.loaddata r.FileId, r.FileName, r.FileType, r.FileCurrentPath
Check "until loaddata gives the new one", r.ExistFile = True
r.UpDatePath "/Price list.xls"
Set o = CreateObject("Tesra.File")
o.loaddata , , , "C:\nowhere.txt"
Check "unknown path: Nothing", o.GetOne Is Nothing

Set o = CreateObject("Tesra.File")
o.CloneRelation 1, 4
Set o = CreateObject("Tesra.KeyWordFile")
o.loaddata , 4
Check "clone copies keyword relations", CountOf(o.GetByFileId) = 4
Set o = CreateObject("Tesra.Memo")
o.loaddata , 4
Check "clone copies memos", CountOf(o.GetByFileId) = 4
Set o = CreateObject("Tesra.Attach")
o.loaddata 4
Set c = o.GetByAttach
Check "clone copies attachments", CountOf(c) = 1

' --- item loader
Set o = CreateObject("Itemkeeper.Engine")
Check "unknown file, flag False: Nothing", o.LoadFileObject("C:\qbtest-none.txt", False) Is Nothing
Set r = o.LoadFileWeb("http://127.0.0.1/new/page.html", "New page", True)
Check "web page created with its title", r.FileName = "New page" And r.FileType = "Web"
Set r = o.LoadFileWeb("http://127.0.0.1/new/page.html", , False)
Check "and found again without one", r.FileName = "New page"
Set r = o.LoadFileOutlookObject("00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001", "x", "OutlookMail", True)
Check "outlook item found", r.FileId = 5
Set r = o.LoadFileObjectServer("/Price list.xls", True, "Server")
Check "server item found", r.FileId = 4

' --- file server, configuration, processes
Set o = CreateObject("Gatehouse.Engine")
Check "connected", o.StateConnection = 1
Dim fso, tmp, answer
Set fso = CreateObject("Scripting.FileSystemObject")
tmp = fso.GetSpecialFolder(2) & "\qb-upload-test.txt"
fso.CreateTextFile(tmp, True).Write "payload"
answer = o.UploadFile(tmp)
Check "upload answers the server path: " & answer, answer = "/qb-upload-test.txt"
Set r = o.GetOneFile("qb-upload-test.txt")
Check "record set not at its end", r.EOF = False And r.BOF = False
r.MoveFirst
Check "file found on the server", r.fields("Return").Value = True And r.fields("Type").Value = ".txt" And r.fields("Size").Value = 7
Check "server path", r.fields("FullPath").Value = "/qb-upload-test.txt" And r.fields("Name").Value = "qb-upload-test.txt"
Set r = o.GetServerConfig
Check "base address in field 1", Left(r.fields(1).Value, 7) = "http://"
Check "delete answers True", o.DeleteFile("qb-upload-test.txt") = True
Check "then False", o.DeleteFile("qb-upload-test.txt") = False
Set r = o.GetOneFile("qb-upload-test.txt")
Check "gone from the server", r.fields("Return").Value = False
fso.DeleteFile tmp

Set o = CreateObject("Settler.Engine")
Check "download folder exists", fso.FolderExists(o.GetDownloadPath)
Set o = CreateObject("Procwatch.clsEngine")
Check "this script host is running", o.IsRunning("CSCRIPT.EXE") = True
Check "no such program", o.IsRunning("qb-no-such-program.exe") = False

WScript.Echo "suite.vbs: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
