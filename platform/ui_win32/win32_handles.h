// The few Win32 handle types the backend's headers name, declared as windows.h declares them, so
// that only the backend's .cpp files include windows.h.
#pragma once

struct HWND__;
struct HDC__;
struct HBITMAP__;
struct tagMSG;

namespace quillet::win32 {

using WindowHandle = HWND__*;
using DeviceContext = HDC__*;
using BitmapHandle = HBITMAP__*;
using Message = tagMSG;

}  // namespace quillet::win32
