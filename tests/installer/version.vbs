' version.vbs PATH: prints the file version of PATH as the shell reads it.
Option Explicit
WScript.Echo CreateObject("Scripting.FileSystemObject").GetFileVersion(WScript.Arguments(0))
