' A script client of the options object, created by ProgID as scripts and
' settings editors create it. Prints "FAIL: ..." for every mismatch and
' TESSERA-VBS-DONE as its last line when it ran to the end.
' Profile names are passed as literals or expressions: a method whose
' parameter is a pointer to a BSTR cannot take a script variable by reference.
Option Explicit
Dim o, e, failures
failures = 0

Sub Check(what, actual, expected)
  If actual <> expected Then
    WScript.Echo "FAIL: " & what & " is " & actual & ", expected " & expected
    failures = failures + 1
  End If
End Sub

On Error Resume Next
Set o = CreateObject("Tessera")
e = Err.Number : Err.Clear
Check "CreateObject error", e, 0

' Defaults of a new object without an options file.
Check "Compression", o.Compression, 1
Check "Layout", o.Layout, 1
Check "Version", o.Version, 0
Check "BWImageCompression", o.BWImageCompression, 2
Check "URL_Autodetection", o.URL_Autodetection, 1
Check "ShowErrorMessages", o.ShowErrorMessages, 1
Check "UsingTargetFile", o.UsingTargetFile, 1
Check "JPEG_COMPRESSION", o.JPEG_COMPRESSION, 40
Check "TIFF_COLORMODE", o.TIFF_COLORMODE, 24
Check "OutputType", o.OutputType, 0
Check "PutWatermarks", o.PutWatermarks, False
Check "TargetFile", "[" & o.TargetFile & "]", "[]"
Check "GetProfilesCount", o.GetProfilesCount(), 1
Check "GetActual", o.GetActual(), 0
Check "GetCurrentProfileName", o.GetCurrentProfileName(), "<default>"
Check "GetProfileName(0)", o.GetProfileName(0), "<default>"

' Range errors reach the script as "Invalid procedure call or argument" (5).
o.BWImageCompression = 0 : e = Err.Number : Err.Clear
Check "BWImageCompression = 0 error", e, 5
o.BWImageCompression = 5 : e = Err.Number : Err.Clear
Check "BWImageCompression = 5 error", e, 5
o.BWImageCompression = 4 : e = Err.Number : Err.Clear
Check "BWImageCompression = 4 error", e, 0
Check "BWImageCompression after", o.BWImageCompression, 4
o.Compression = -1 : e = Err.Number : Err.Clear
Check "Compression = -1 error", e, 5
Check "Compression kept", o.Compression, 1
o.TIFF_COLORMODE = 16 : e = Err.Number : Err.Clear
Check "TIFF_COLORMODE = 16 error", e, 5
o.TIFF_COLORMODE = 9 : e = Err.Number : Err.Clear
Check "TIFF_COLORMODE = 9 error", e, 0
o.JPEG_COMPRESSION = 256 : e = Err.Number : Err.Clear
Check "JPEG_COMPRESSION = 256 error", e, 5
o.JPEG_COMPRESSION = 255 : e = Err.Number : Err.Clear
Check "JPEG_COMPRESSION = 255 error", e, 0
o.OutputType = 6 : e = Err.Number : Err.Clear
Check "OutputType = 6 error", e, 5
o.PutWatermarks = True
Check "PutWatermarks", o.PutWatermarks, True
o.Title = "From a script"
Check "Title", o.Title, "From a script"

' Profiles.
o.AddProfile "<default>" : e = Err.Number : Err.Clear
Check "AddProfile <default> error", e, 5
o.AddProfile "Script" : e = Err.Number : Err.Clear
Check "AddProfile Script error", e, 0
Check "count after AddProfile", o.GetProfilesCount(), 2
Check "actual after AddProfile", o.GetActual(), 1
Check "IsProfileNameExist Script", o.IsProfileNameExist("Script"), 1
Check "IsProfileNameExist script", o.IsProfileNameExist("script"), 0
Check "IsOptionsExist", o.IsOptionsExist(), 1
o.RemoveProfile 0 : e = Err.Number : Err.Clear
Check "RemoveProfile 0 error", e, 5
o.RemoveProfileWithName "<default>" : e = Err.Number : Err.Clear
Check "RemoveProfileWithName <default> error", e, 5
o.SetActual 2 : e = Err.Number : Err.Clear
Check "SetActual 2 error", e, 5
o.GetProfileName 2 : e = Err.Number : Err.Clear
Check "GetProfileName 2 error", e, 5
o.SetActual 0 : e = Err.Number : Err.Clear
Check "SetActual 0 error", e, 0
Check "Title of <default>", "[" & o.Title & "]", "[]"
o.SetActual 1
Check "Title of Script", o.Title, "From a script"

' Release and create again: the state went to the file.
Set o = Nothing
Set o = CreateObject("Tessera")
Check "count after release", o.GetProfilesCount(), 2
Check "actual after release", o.GetActual(), 1
Check "PutWatermarks after release", o.PutWatermarks, 1
Check "JPEG_COMPRESSION after release", o.JPEG_COMPRESSION, 255
o.RemoveProfileWithName "Script" : e = Err.Number : Err.Clear
Check "RemoveProfileWithName Script error", e, 0
Check "count after remove", o.GetProfilesCount(), 1
Set o = Nothing

If failures = 0 Then WScript.Echo "all checks passed"
WScript.Echo "TESSERA-VBS-DONE"
