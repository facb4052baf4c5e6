// The screen window's window procedure, looks, embedding and presenting.
#include "platform/ui_win32/win32_screen_window.h"

#include <windows.h>

#include <algorithm>

#include "platform/os_win32/wide_text.h"
#include "platform/ui_win32/win32_services.h"
#include "shell/changed_areas.h"

namespace quillet {

namespace {

constexpr wchar_t ScreenClass[] = L"QuilletScreen";

LRESULT CALLBACK ScreenProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_NCCREATE) {
    const auto* Create = reinterpret_cast<const CREATESTRUCTW*>(LParam);
    ::SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
  }
  auto* Self = reinterpret_cast<TWin32ScreenWindow*>(::GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Self) {
    bool Handled = false;
    const intptr_t Result = Self->Receive(Message, WParam, LParam, Handled);
    if (Handled) return Result;
  }
  return ::DefWindowProcW(Window, Message, WParam, LParam);
}

void RegisterScreenClass() {
  static const bool Registered = [] {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof Class;
    Class.lpfnWndProc = &ScreenProcedure;
    Class.hInstance = ::GetModuleHandleW(nullptr);
    // The designed cursor: the arrow with the hourglass.
    Class.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32650));  // IDC_APPSTARTING
    Class.lpszClassName = ScreenClass;
    return ::RegisterClassExW(&Class) != 0;
  }();
  (void)Registered;
}

// The outer rectangle of a window whose client area is the designed one, at the designed place.
RECT DesignedOuterRect(DWORD Style, DWORD ExStyle) {
  const TRect& B = tScreenForm::DesignedBounds;
  RECT R{0, 0, B.Right - B.Left, B.Bottom - B.Top};
  ::AdjustWindowRectEx(&R, Style, FALSE, ExStyle);
  return {B.Left, B.Top, B.Left + (R.right - R.left), B.Top + (R.bottom - R.top)};
}

HWND AsWindow(uint32_t Handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(Handle)); }

constexpr DWORD LookStyles = WS_POPUP | WS_CHILD | WS_OVERLAPPEDWINDOW;

}  // namespace

TAppMessage AppMessageOf(uint32_t Message) {
  switch (Message) {
    case WM_RBUTTONDOWN: return TAppMessage::RightButtonDown;
    case WM_LBUTTONDOWN: return TAppMessage::LeftButtonDown;
    case WM_MBUTTONDOWN: return TAppMessage::MiddleButtonDown;
    case WM_SYSKEYDOWN: return TAppMessage::SystemKeyDown;
    case WM_SYSKEYUP: return TAppMessage::SystemKeyUp;
    case WM_MOUSEMOVE: return TAppMessage::MouseMove;
    default: return TAppMessage::Other;
  }
}

TWin32ScreenWindow::TWin32ScreenWindow(tScreenForm& Form, win32::WindowHandle Owner, IEventLoop& Loop)
    : FForm(&Form), FLoop(Loop), FStore(std::make_shared<TDibSectionStore>()),
      FHostCheck(Loop.CreateOneShotTimer([this] { CheckHost(); })) {
  FSurface.SetPixelStore(FStore);
  if (const std::optional<std::filesystem::path> File = TSurfaceDump::RequestedFile())
    FDump = std::make_unique<TSurfaceDump>(*File, FSurface, Loop);
  RegisterScreenClass();
  // Created hidden, borderless, at the designed bounds.
  const RECT R = DesignedOuterRect(WS_POPUP, 0);
  FHwnd = ::CreateWindowExW(0, ScreenClass, L"", WS_POPUP | WS_CLIPCHILDREN, R.left, R.top, R.right - R.left,
                            R.bottom - R.top, Owner, nullptr, ::GetModuleHandleW(nullptr), this);
  FCreating = false;
}

TWin32ScreenWindow::~TWin32ScreenWindow() {
  if (OnGone) OnGone();
  if (!FHwnd) return;
  FDestroying = true;
  ::SetWindowLongPtrW(FHwnd, GWLP_USERDATA, 0);
  ::DestroyWindow(FHwnd);
}

bool TWin32ScreenWindow::Embedded() const { return FHwnd && (::GetWindowLongW(FHwnd, GWL_STYLE) & WS_CHILD); }

void TWin32ScreenWindow::SetCaption(std::string_view Caption) {
  if (FHwnd) ::SetWindowTextW(FHwnd, win32::WideFromUtf8(Caption).c_str());
}

bool TWin32ScreenWindow::IsVisible() const {
  // Its own state: a preview inside a hidden host still counts as shown.
  return FHwnd && (::GetWindowLongW(FHwnd, GWL_STYLE) & WS_VISIBLE);
}

void TWin32ScreenWindow::ShowAndActivate() {
  if (!FHwnd) return;
  if (Embedded()) {
    // A preview does not take the activation from its host.
    ::ShowWindow(FHwnd, SW_SHOWNA);
    return;
  }
  ::ShowWindow(FHwnd, SW_SHOW);
  ::SetWindowPos(FHwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(FHwnd);
  ::SetFocus(FHwnd);
}

void TWin32ScreenWindow::Close() {
  if (FHwnd) ::ShowWindow(FHwnd, SW_HIDE);
  if (FForm) FForm->FormClosed();
}

void TWin32ScreenWindow::SetLook(TWindowLook Look) {
  if (!FHwnd || Embedded()) return;
  const bool Windowed = Look == TWindowLook::Windowed;
  const bool WasWindowed = FWindowed;
  FWindowed = Windowed;
  const DWORD Style = static_cast<DWORD>(::GetWindowLongW(FHwnd, GWL_STYLE));
  const DWORD NewStyle = (Style & ~LookStyles) | (Windowed ? WS_OVERLAPPEDWINDOW : WS_POPUP);
  ::SetWindowLongW(FHwnd, GWL_STYLE, static_cast<LONG>(NewStyle));
  constexpr UINT Flags = SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE;
  if (Windowed) {
    // Leaving full screen restores the designed bounds; a test window keeps where it was put.
    if (WasWindowed) {
      ::SetWindowPos(FHwnd, nullptr, 0, 0, 0, 0, Flags | SWP_NOMOVE | SWP_NOSIZE);
    } else {
      const RECT R = DesignedOuterRect(NewStyle, static_cast<DWORD>(::GetWindowLongW(FHwnd, GWL_EXSTYLE)));
      ::SetWindowPos(FHwnd, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top, Flags);
    }
  } else {
    const TRect Screen = win32::VirtualScreenRect();
    ::SetWindowPos(FHwnd, nullptr, Screen.Left, Screen.Top, Screen.Right - Screen.Left, Screen.Bottom - Screen.Top, Flags);
  }
}

TPixelSize TWin32ScreenWindow::ClientSize() const {
  RECT R{};
  if (!FHwnd || !::GetClientRect(FHwnd, &R)) return {};
  return {R.right - R.left, R.bottom - R.top};
}

TPixelSize TWin32ScreenWindow::OuterSize() const {
  RECT R{};
  if (!FHwnd || !::GetWindowRect(FHwnd, &R)) return {};
  return {R.right - R.left, R.bottom - R.top};
}

bool TWin32ScreenWindow::HasFocus() const { return FHwnd && ::GetFocus() == FHwnd; }

TScreenPoint TWin32ScreenWindow::CursorPos() const {
  POINT P{};
  ::GetCursorPos(&P);
  return {P.x, P.y};
}

void TWin32ScreenWindow::FilterMessage(const win32::Message& Msg) {
  if (!FFiltering || !FForm) return;
  const TAppMessage Plain = AppMessageOf(Msg.message);
  if (Plain != TAppMessage::Other) win32::Guarded([&] { FForm->HandleAppMessage(Plain); });
}

void TWin32ScreenWindow::LeaveInputToHost() {
  // A disabled window takes no input; the cursor is the host's.
  if (FHwnd) ::EnableWindow(FHwnd, FALSE);
}

std::optional<TRect> TWin32ScreenWindow::HostRect(uint32_t Host) {
  RECT R{};
  if (Host == 0 || !::IsWindow(AsWindow(Host)) || !::GetWindowRect(AsWindow(Host), &R)) return std::nullopt;
  return TRect{R.left, R.top, R.right, R.bottom};
}

uint32_t TWin32ScreenWindow::ReparentInto(uint32_t Host) {
  const HWND Parent = AsWindow(Host);
  if (!FHwnd || Host == 0 || !::IsWindow(Parent) || Parent == FHwnd || ::IsChild(FHwnd, Parent)) return 0;
  const LONG Style = ::GetWindowLongW(FHwnd, GWL_STYLE);
  ::SetWindowLongW(FHwnd, GWL_STYLE, static_cast<LONG>((static_cast<DWORD>(Style) & ~LookStyles) | WS_CHILD));
  const HWND Previous = ::SetParent(FHwnd, Parent);
  if (!Previous) {
    ::SetWindowLongW(FHwnd, GWL_STYLE, Style);
    return 0;
  }
  FHost = Parent;
  // A host in another program cannot tell us it went away or changed its size: it is looked at.
  FHostCheck->Start(HostCheckMs);
  const uint32_t Id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Previous));
  return Id != 0 ? Id : 1;
}

void TWin32ScreenWindow::SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  if (FHwnd) ::SetWindowPos(FHwnd, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32ScreenWindow::FollowHostSize(uint32_t Host) {
  if (AsWindow(Host) != FHost || !FHost) return;
  FFollowHost = true;
  CheckHost();
}

void TWin32ScreenWindow::CheckHost() {
  if (!FHwnd || !FHost) return;
  if (!::IsWindow(FHost)) {
    // The host is gone; a window of ours inside it would have gone with it.
    ::DestroyWindow(FHwnd);
    return;
  }
  RECT Host{}, Own{};
  if (FFollowHost && ::GetWindowRect(FHost, &Host) && ::GetWindowRect(FHwnd, &Own) &&
      (Host.right - Host.left != Own.right - Own.left || Host.bottom - Host.top != Own.bottom - Own.top))
    SetBounds(0, 0, Host.right - Host.left, Host.bottom - Host.top);
  FHostCheck->Start(HostCheckMs);
}

void TWin32ScreenWindow::ShowInfo(std::string_view Text, std::string_view Caption) {
  win32::ShowMessageBox(IsVisible() && !Embedded() ? FHwnd : nullptr, Text, Caption, MB_OK);
}

TRect TWin32ScreenWindow::OverlayArea() const {
  if (!FOverlay || FOverlay->IsEmpty()) return {};
  const int32_t Bottom = ClientSize().Height;
  return {0, Bottom - FOverlay->Height(), FOverlay->Width(), Bottom};
}

void TWin32ScreenWindow::PutOverlay(win32::DeviceContext Dc) {
  const TRect Area = OverlayArea();
  if (Area.Right <= Area.Left) return;
  PutPixels(Dc, FOverlay->PixelPtr(), FOverlay->Width(), FOverlay->Height(), {0, 0, FOverlay->Width(), FOverlay->Height()},
            Area.Left, Area.Top);
}

void TWin32ScreenWindow::SetOverlay(const TBitmap32* Overlay) {
  if (Overlay == FOverlay) return;
  const TRect Before = OverlayArea();
  FOverlay = Overlay;
  // What the old overlay covered shows the surface again.
  if (FHwnd && Before.Right > Before.Left) {
    const RECT R{Before.Left, Before.Top, Before.Right, Before.Bottom};
    ::InvalidateRect(FHwnd, &R, FALSE);
  }
  OverlayChanged();
}

void TWin32ScreenWindow::OverlayChanged() {
  if (!IsVisible() || OverlayArea().Right <= 0) return;
  const HDC Dc = ::GetDC(FHwnd);
  if (!Dc) return;
  PutOverlay(Dc);
  ::ReleaseDC(FHwnd, Dc);
}

void TWin32ScreenWindow::PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>& Black) {
  if ((Copy.empty() && Black.empty()) || !IsVisible()) return;
  const HDC Dc = ::GetDC(FHwnd);
  if (!Dc) return;
  // The overlay's pixels are never put twice, once from the surface and once from the overlay:
  // the screen would flicker between the two.
  const TRect Hole = OverlayArea();
  bool Covered = false;
  std::vector<TRect> Shown, Filled;
  if (Hole.Right > Hole.Left) {
    for (const TRect& R : Copy) Covered |= SubtractRect(R, Hole, Shown);
    for (const TRect& R : Black) Covered |= SubtractRect(R, Hole, Filled);
  }
  const std::vector<TRect>& CopyRects = Hole.Right > Hole.Left ? Shown : Copy;
  const std::vector<TRect>& BlackRects = Hole.Right > Hole.Left ? Filled : Black;
  // Black first: what was drawn after a wipe lies inside the wipe's black and must stay on top.
  const HBRUSH BlackBrush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  for (const TRect& R : BlackRects) {
    const RECT Area{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(Dc, &Area, BlackBrush);
  }
  FStore->Put(Dc, FSurface, CopyRects);
  if (Covered) PutOverlay(Dc);
  ::ReleaseDC(FHwnd, Dc);
  ::GdiFlush();
  if (FDump) FDump->FrameShown();
}

double TWin32ScreenWindow::RefreshRate() const { return FHwnd ? win32::MonitorRefreshRate(FHwnd) : 0; }

void TWin32ScreenWindow::Paint() {
  PAINTSTRUCT Paint;
  const HDC Dc = ::BeginPaint(FHwnd, &Paint);
  if (!Dc) return;
  const TRect Area{Paint.rcPaint.left, Paint.rcPaint.top, Paint.rcPaint.right, Paint.rcPaint.bottom};
  // The surface where it reaches, black beyond it.
  const TRect Surface = FSurface.IsEmpty() ? TRect{} : FSurface.BoundsRect();
  std::vector<TRect> Beyond;
  if (Surface.Right > Surface.Left)
    SubtractRect(Area, Surface, Beyond);
  else
    Beyond.push_back(Area);
  FStore->Put(Dc, FSurface, {Area});
  const HBRUSH BlackBrush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  for (const TRect& R : Beyond) {
    const RECT Fill{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(Dc, &Fill, BlackBrush);
  }
  PutOverlay(Dc);
  ::EndPaint(FHwnd, &Paint);
}

void TWin32ScreenWindow::Destroyed() {
  // Our own destructor says nothing; a host that went away took the window with it.
  const bool Report = !FDestroying;
  FHwnd = nullptr;
  FHostCheck->Stop();
  if (!Report || !FForm) return;
  win32::Guarded([this] {
    if (FShown) {
      FShown = false;
      FForm->FormHide();
    }
    if (FForm) FForm->FormClosed();
  });
}

intptr_t TWin32ScreenWindow::Receive(uint32_t Message, uintptr_t WParam, intptr_t LParam, bool& Handled) {
  Handled = true;
  switch (Message) {
    case WM_WINDOWPOSCHANGED: {
      Handled = false;  // the default turns it into WM_SIZE
      const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
      if (FCreating || !FForm) break;
      if ((Pos->flags & SWP_SHOWWINDOW) && !FShown) {
        FShown = true;
        win32::Guarded([this] { FForm->FormShow(); });
      } else if ((Pos->flags & SWP_HIDEWINDOW) && FShown) {
        FShown = false;
        win32::Guarded([this] { FForm->FormHide(); });
      }
      break;
    }
    case WM_SIZE:
      if (!FCreating && FForm) win32::Guarded([this] { FForm->FormResize(); });
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      win32::Guarded([this] { Close(); });
      return 0;
    case WM_KEYDOWN:
      if (WParam == VK_PAUSE && FForm) win32::Guarded([this] { FForm->FormKeyDown(VK_PAUSE_KEY); });
      return 0;
    case WM_CHAR: {
      // Characters beyond the first plane come as two halves.
      const auto Unit = static_cast<char16_t>(WParam);
      char32_t Character = Unit;
      if (Unit >= 0xD800 && Unit <= 0xDBFF) {
        FHighSurrogate = Unit;
        return 0;
      }
      if (Unit >= 0xDC00 && Unit <= 0xDFFF)
        Character = FHighSurrogate ? 0x10000 + ((char32_t{FHighSurrogate} - 0xD800) << 10) + (Unit - 0xDC00) : U'\uFFFD';
      FHighSurrogate = 0;
      if (FForm) win32::Guarded([this, Character] { FForm->FormKeyPress(Character); });
      return 0;
    }
    case WM_SYSCHAR:
      // An Alt combination types nothing; the default would beep for a menu that is not there.
      return 0;
    case WM_GETDLGCODE:
      // Inside the dialog (a preview there), keys are the preview's, not the dialog's.
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_SYSCOMMAND:
      // While the saver shows, the system does not start a screen saver over it.
      if (((WParam & 0xFFF0) == SC_SCREENSAVE || (WParam & 0xFFF0) == SC_MONITORPOWER) && IsVisible() && !FWindowed &&
          !Embedded())
        return 0;
      Handled = false;
      return 0;
    case WM_DESTROY:
      Destroyed();
      return 0;
    default:
      Handled = false;
      return 0;
  }
  return 0;
}

}  // namespace quillet
