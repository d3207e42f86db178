Attribute VB_Name = "glimfx"
' glimfx: half-blend and night-effect blits over raw pixel memory, for VB6 and
' VBA. Add this module to the project as it is and put glimfx.dll beside the
' program (or on the DLL search path): the 32-bit DLL for VB6 and 32-bit
' Office, the 64-bit one for 64-bit Office.
'
' A surface is the address of its first pixel and its pitch, the signed byte
' distance from one row's start to the next (negative walks upwards):
'   - a pixel array: VarPtr(pixels(0)) (VarPtr(pixels(0, 0)) for two
'     dimensions), and the bytes of one row as the pitch;
'   - a locked DirectDraw surface: lpSurface and lPitch of the description
'     that Lock filled in, used before Unlock.
' Every argument is passed ByVal; the DLL keeps no pointer after it returns.
Option Explicit

' Pixel format codes: the layout of one pixel.
Public Const GLIMFX_FORMAT_555 As Long = 0 ' 5-5-5 in 16 bits
Public Const GLIMFX_FORMAT_565 As Long = 1 ' 5-6-5 in 16 bits
Public Const GLIMFX_FORMAT_24 As Long = 3  ' 3 bytes a pixel
Public Const GLIMFX_FORMAT_32 As Long = 4  ' 4 bytes a pixel

' BltAlphaFast lays the src rectangle over the dest one at half opacity;
' source pixels whose colour bits are all zero (key pixels) are not drawn.
' dest, src: first pixels, as VarPtr(...) or lpSurface; srcPitch, destPitch:
' their pitches. Returns 0 when done, -1 for a format code other than the
' four above (nothing is touched then).

' BltEfectoNoche darkens a rectangle in place for a night look: every channel
' halved, plus the layout's tint. surface: first pixel, as VarPtr(...) or
' lpSurface; pitch: its pitch. Returns 0 when done, -1 for a format code
' other than the four above (nothing is touched then).

' Office's VBA7 takes addresses as LongPtr, pointer-sized; VB6 as Long.
#If VBA7 Then

Public Declare PtrSafe Function BltAlphaFast Lib "glimfx.dll" ( _
    ByVal dest As LongPtr, ByVal src As LongPtr, ByVal width As Long, _
    ByVal height As Long, ByVal srcPitch As Long, ByVal destPitch As Long, _
    ByVal pixelFormat As Long) As Long

Public Declare PtrSafe Function BltEfectoNoche Lib "glimfx.dll" ( _
    ByVal surface As LongPtr, ByVal width As Long, ByVal height As Long, _
    ByVal pitch As Long, ByVal pixelFormat As Long) As Long

#Else

Public Declare Function BltAlphaFast Lib "glimfx.dll" ( _
    ByVal dest As Long, ByVal src As Long, ByVal width As Long, _
    ByVal height As Long, ByVal srcPitch As Long, ByVal destPitch As Long, _
    ByVal pixelFormat As Long) As Long

Public Declare Function BltEfectoNoche Lib "glimfx.dll" ( _
    ByVal surface As Long, ByVal width As Long, ByVal height As Long, _
    ByVal pitch As Long, ByVal pixelFormat As Long) As Long

#End If
