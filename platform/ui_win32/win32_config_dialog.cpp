// The configuration dialog's native controls, made from the settings tables at the designed places.
#include "platform/ui_win32/win32_config_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/dialog_layout.h"
#include "platform/os_win32/wide_text.h"
#include "platform/ui_win32/win32_services.h"

namespace quillet {

namespace {

namespace layout = dialog_layout;

// Control identifiers. OK and Cancel carry the system's, so that Enter and Escape reach them.
constexpr int ButtonIds[DialogButtonCount] = {100, 101, 102, 103, IDCANCEL, IDOK};
constexpr int FirstCheckId = 200;
constexpr int FirstGaugeId = 300;
constexpr int FirstValueLabelId = 400;
constexpr int OtherId = 500;
constexpr UINT_PTR LabelSubclass = 1;
constexpr UINT_PTR GaugeSubclass = 2;

TWin32ConfigDialog* DialogOf(HWND Window) {
  return reinterpret_cast<TWin32ConfigDialog*>(::GetWindowLongPtrW(Window, DWLP_USER));
}

INT_PTR CALLBACK DialogProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(Window, DWLP_USER, LParam);
    return FALSE;  // the controls, and the focus among them, come later
  }
  TWin32ConfigDialog* Self = DialogOf(Window);
  if (!Self) return FALSE;
  bool Handled = false;
  const intptr_t Result = Self->Receive(Message, WParam, LParam, Handled);
  return Handled ? Result : FALSE;
}

// A value label reports presses of every button; the system's static only reports left clicks.
LRESULT CALLBACK ValueLabelProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                     DWORD_PTR Row) {
  TMouseButton Button = TMouseButton::Other;
  switch (Message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: Button = TMouseButton::Left; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: Button = TMouseButton::Right; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: Button = TMouseButton::Middle; break;
    default: break;
  }
  if (Button != TMouseButton::Other)
    if (TWin32ConfigDialog* Self = DialogOf(::GetParent(Window))) Self->ValueLabelPressed(Row, Button);
  return ::DefSubclassProc(Window, Message, WParam, LParam);
}

// The gauges show the pointing hand.
LRESULT CALLBACK GaugeProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR) {
  if (Message == WM_SETCURSOR && LOWORD(LParam) == HTCLIENT) {
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
    return TRUE;
  }
  return ::DefSubclassProc(Window, Message, WParam, LParam);
}

// A dialog template with no controls: they are made from the tables afterwards.
struct TEmptyTemplate {
  DLGTEMPLATE Header;
  WORD Menu, Class, Title;
};

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

}  // namespace

TWin32ConfigDialog::TWin32ConfigDialog(tConfigForm& Form, win32::WindowHandle Owner) : FForm(&Form) {
  static const bool ControlsReady = [] {
    INITCOMMONCONTROLSEX Classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&Classes) != 0;
  }();
  (void)ControlsReady;
  if (const HDC Screen = ::GetDC(nullptr)) {
    FDpi = std::max(96, ::GetDeviceCaps(Screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, Screen);
  }
  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof Metrics;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0))
    FFont = ::CreateFontIndirectW(&Metrics.lfMessageFont);
  if (!FFont) FFont = ::GetStockObject(DEFAULT_GUI_FONT);
  const std::wstring HintFace = win32::WideFromUtf8(layout::HintFontFace);
  FHintFont = ::CreateFontW(-Scaled(layout::HintFontPixels), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                            HintFace.c_str());

  TEmptyTemplate Template{};
  Template.Header.style = DialogStyle;
  FDialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &Template.Header, Owner, &DialogProcedure,
                                         reinterpret_cast<LPARAM>(this));
  if (!FDialog) return;
  // The designed client area, whatever the frame takes.
  RECT Outer{0, 0, Scaled(layout::ClientWidth), Scaled(layout::ClientHeight)};
  ::AdjustWindowRectEx(&Outer, DialogStyle, FALSE, static_cast<DWORD>(::GetWindowLongW(FDialog, GWL_EXSTYLE)));
  ::SetWindowPos(FDialog, nullptr, 0, 0, Outer.right - Outer.left, Outer.bottom - Outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowCaption(Form.Caption());
  BuildControls();
}

TWin32ConfigDialog::~TWin32ConfigDialog() {
  if (OnGone) OnGone();
  if (FDialog) {
    ::SetWindowLongPtrW(FDialog, DWLP_USER, 0);
    ::DestroyWindow(FDialog);
  }
  if (FFont && FFont != ::GetStockObject(DEFAULT_GUI_FONT)) ::DeleteObject(FFont);
  if (FHintFont) ::DeleteObject(FHintFont);
}

int TWin32ConfigDialog::Scaled(int Pixels) const { return ::MulDiv(Pixels, FDpi, 96); }

win32::WindowHandle TWin32ConfigDialog::AddControl(const wchar_t* Class, std::string_view Text, uint32_t Style, int X,
                                                   int Y, int W, int H, int Id, bool HintFont) {
  const HWND Control =
      ::CreateWindowExW(0, Class, win32::WideFromUtf8(Text).c_str(), WS_CHILD | WS_VISIBLE | Style, Scaled(X), Scaled(Y),
                        Scaled(W), Scaled(H), FDialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)),
                        ::GetModuleHandleW(nullptr), nullptr);
  if (Control) ::SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(HintFont ? FHintFont : FFont), FALSE);
  return Control;
}

void TWin32ConfigDialog::BuildControls() {
  // Created in the tab order: a child window made later stands below the ones before it.
  const layout::TBox& L6 = layout::Label6;
  FHint = AddControl(L"STATIC", tConfigForm::HintText, SS_CENTER | SS_NOPREFIX, L6.X, L6.Y, L6.W, L6.H, OtherId, true);

  for (std::size_t F = 0; F < SettingFamilies.size(); ++F) {
    const layout::TBox& G = layout::FamilyGroups[F].Box;
    AddControl(L"BUTTON", SettingFamilies[F].Caption, BS_GROUPBOX, G.X, G.Y, G.W, G.H, OtherId);
  }
  std::array<int, SettingFamilies.size()> Slots{};
  for (std::size_t I = 0; I < SwitchSettings.size(); ++I) {
    const TSwitchSetting& S = SwitchSettings[I];
    const auto F = static_cast<std::size_t>(S.Family);
    const layout::TGroupDesign& Group = layout::FamilyGroups[F];
    const layout::TBox B = layout::CheckBoxIn(Group, Slots[F]++);
    FChecks[I] = AddControl(L"BUTTON", S.Caption, BS_AUTOCHECKBOX | WS_TABSTOP, Group.Box.X + B.X, Group.Box.Y + B.Y,
                            B.W, B.H, FirstCheckId + static_cast<int>(I));
    ::SendMessageW(FChecks[I], BM_SETCHECK, S.Designed ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  const layout::TBox& G3 = layout::GroupBox3;
  AddControl(L"BUTTON", "", BS_GROUPBOX, G3.X, G3.Y, G3.W, G3.H, OtherId);
  for (std::size_t R = 0; R < NumberSettings.size(); ++R) {
    const TNumberSetting& N = NumberSettings[R];
    const layout::TBox Name = layout::NameLabelIn(R), Value = layout::ValueLabelIn(R), Bar = layout::GaugeIn(R);
    AddControl(L"STATIC", N.RowCaption, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, G3.X + Name.X, G3.Y + Name.Y, Name.W,
               Name.H, OtherId);
    FValueLabels[R] = AddControl(L"STATIC", std::to_string(N.Designed), SS_RIGHT | SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE,
                                 G3.X + Value.X, G3.Y + Value.Y, Value.W, Value.H, FirstValueLabelId + static_cast<int>(R));
    ::SetWindowSubclass(FValueLabels[R], &ValueLabelProcedure, LabelSubclass, R);
    FGauges[R] = AddControl(TRACKBAR_CLASSW, "", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, G3.X + Bar.X, G3.Y + Bar.Y, Bar.W,
                            Bar.H, FirstGaugeId + static_cast<int>(R));
    ::SendMessageW(FGauges[R], TBM_SETRANGEMIN, FALSE, N.Range.Min);
    ::SendMessageW(FGauges[R], TBM_SETRANGEMAX, FALSE, N.Range.Max);
    ::SendMessageW(FGauges[R], TBM_SETLINESIZE, 0, 1);
    ::SendMessageW(FGauges[R], TBM_SETPAGESIZE, 0, std::max(1, (N.Range.Max - N.Range.Min) / 10));
    ::SendMessageW(FGauges[R], TBM_SETPOS, TRUE, N.Designed);
    ::SetWindowSubclass(FGauges[R], &GaugeProcedure, GaugeSubclass, 0);
  }

  for (std::size_t B = 0; B < DialogButtonCount; ++B) {
    const layout::TBox& Box = layout::Buttons[B];
    const bool IsDefault = static_cast<TDialogButton>(B) == TDialogButton::OK;
    FButtons[B] = AddControl(L"BUTTON", tConfigForm::DesignedButtonCaptions[B],
                             (IsDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, Box.X, Box.Y, Box.W, Box.H,
                             ButtonIds[B]);
  }
  ::SendMessageW(FDialog, DM_SETDEFID, IDOK, 0);

  const layout::TBox& V = layout::LabelVersion;
  FVersion = AddControl(L"STATIC", tConfigForm::VersionText, SS_LEFT | SS_NOPREFIX, V.X, V.Y, V.W, V.H, OtherId);
  const layout::TBox& E = layout::LabelEngineVersion;
  FEngineVersion = AddControl(L"STATIC", tConfigForm::DesignedEngineVersion, SS_LEFT | SS_NOPREFIX, E.X, E.Y, E.W, E.H,
                              OtherId);
}

void TWin32ConfigDialog::ShowGaugePosition(std::size_t Row, int32_t Position) {
  if (Row < FGauges.size()) ::SendMessageW(FGauges[Row], TBM_SETPOS, TRUE, Position);
}

void TWin32ConfigDialog::ShowValueLabel(std::size_t Row, std::string_view Text) {
  if (Row < FValueLabels.size()) ::SetWindowTextW(FValueLabels[Row], win32::WideFromUtf8(Text).c_str());
}

void TWin32ConfigDialog::ShowChecked(std::size_t Index, bool Checked) {
  if (Index < FChecks.size()) ::SendMessageW(FChecks[Index], BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TWin32ConfigDialog::ShowButtonCaption(TDialogButton Which, std::string_view Caption) {
  ::SetWindowTextW(Button(Which), win32::WideFromUtf8(Caption).c_str());
}

void TWin32ConfigDialog::ShowEngineVersion(std::string_view Text) {
  ::SetWindowTextW(FEngineVersion, win32::WideFromUtf8(Text).c_str());
}

void TWin32ConfigDialog::ShowCaption(std::string_view Caption) {
  if (FDialog) ::SetWindowTextW(FDialog, win32::WideFromUtf8(Caption).c_str());
}

void TWin32ConfigDialog::MoveTopTo(int32_t Top) {
  RECT R{};
  if (!FDialog || !::GetWindowRect(FDialog, &R)) return;
  ::SetWindowPos(FDialog, nullptr, R.left, win32::PrimaryMonitorRect().Top + Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32ConfigDialog::Hide() {
  if (FDialog) ::ShowWindow(FDialog, SW_HIDE);
}

void TWin32ConfigDialog::ShowError(std::string_view Message) {
  win32::ShowMessageBox(FDialog, Message, "Quillet", MB_OK | MB_ICONHAND);
}

void TWin32ConfigDialog::ShowAndActivate() {
  if (!FDialog) return;
  if (!FPlaced) {
    // First shown at the centre of the screen.
    FPlaced = true;
    RECT R{};
    ::GetWindowRect(FDialog, &R);
    const TRect Screen = win32::PrimaryMonitorRect();
    const int W = R.right - R.left, H = R.bottom - R.top;
    ::SetWindowPos(FDialog, nullptr, Screen.Left + (Screen.Right - Screen.Left - W) / 2,
                   Screen.Top + (Screen.Bottom - Screen.Top - H) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(FDialog, SW_SHOW);
  ::SetWindowPos(FDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(FDialog);
}

bool TWin32ConfigDialog::IsVisible() const { return FDialog && ::IsWindowVisible(FDialog); }

uint32_t TWin32ConfigDialog::NativeHandle() { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(FDialog)); }

void TWin32ConfigDialog::SetOwner(uint32_t Owner) {
  const HWND Window = reinterpret_cast<HWND>(static_cast<uintptr_t>(Owner));
  if (FDialog && ::IsWindow(Window)) ::SetWindowLongPtrW(FDialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Window));
}

bool TWin32ConfigDialog::DialogMessage(win32::Message& Msg) {
  return FDialog && ::IsWindowVisible(FDialog) && ::IsDialogMessageW(FDialog, &Msg);
}

void TWin32ConfigDialog::ValueLabelPressed(std::size_t Row, TMouseButton Button) {
  if (FForm) win32::Guarded([&] { FForm->iMouseDown(static_cast<int>(Row) + 1, Button); });
}

intptr_t TWin32ConfigDialog::Receive(uint32_t Message, uintptr_t WParam, intptr_t LParam, bool& Handled) {
  Handled = true;
  switch (Message) {
    case WM_COMMAND: {
      if (HIWORD(WParam) != BN_CLICKED || !FForm) break;
      const int Id = LOWORD(WParam);
      for (std::size_t B = 0; B < DialogButtonCount; ++B)
        if (ButtonIds[B] == Id) {
          win32::Guarded([&] { FForm->ButtonClick(static_cast<TDialogButton>(B)); });
          return TRUE;
        }
      if (Id >= FirstCheckId && Id < FirstCheckId + static_cast<int>(SwitchSettings.size())) {
        const auto I = static_cast<std::size_t>(Id - FirstCheckId);
        const bool Checked = ::SendMessageW(FChecks[I], BM_GETCHECK, 0, 0) == BST_CHECKED;
        win32::Guarded([&] { FForm->CheckToggled(I, Checked); });
      }
      return TRUE;
    }
    case WM_HSCROLL:
      for (std::size_t R = 0; R < FGauges.size(); ++R)
        if (reinterpret_cast<HWND>(LParam) == FGauges[R] && FForm) {
          const auto Position = static_cast<int32_t>(::SendMessageW(FGauges[R], TBM_GETPOS, 0, 0));
          win32::Guarded([&] { FForm->GaugeMoved(R, Position); });
        }
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const HWND Control = reinterpret_cast<HWND>(LParam);
      const HDC Dc = reinterpret_cast<HDC>(WParam);
      if (Control == FHint) {
        ::SetBkColor(Dc, ::GetSysColor(COLOR_WINDOW));
        ::SetTextColor(Dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<intptr_t>(::GetSysColorBrush(COLOR_WINDOW));
      }
      if (Control == FVersion || Control == FEngineVersion) {
        ::SetTextColor(Dc, ::GetSysColor(layout::DesktopColorIndex));
        ::SetBkColor(Dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<intptr_t>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      Handled = false;
      return 0;
    }
    case WM_PAINT: {
      // The hint's strip in the window colour along the top edge.
      PAINTSTRUCT Paint;
      if (const HDC Dc = ::BeginPaint(FDialog, &Paint)) {
        const layout::TBox& P = layout::Panel1;
        const RECT Strip{Scaled(P.X), Scaled(P.Y), Scaled(P.X + P.W), Scaled(P.Y + P.H)};
        ::FillRect(Dc, &Strip, ::GetSysColorBrush(COLOR_WINDOW));
        ::EndPaint(FDialog, &Paint);
      }
      return TRUE;
    }
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE && FForm) win32::Guarded([this] { FForm->FormActivate(); });
      Handled = false;  // the default puts the focus back on the control that had it
      return 0;
    case WM_CHAR:
      // Characters typed to the dialog itself, while no control has the focus.
      if (FForm) win32::Guarded([&] { FForm->FormKeyPress(static_cast<char32_t>(WParam)); });
      return TRUE;
    case WM_CLOSE:
      if (FForm) win32::Guarded([this] { FForm->CancelButtonClick(); });
      return TRUE;
    default:
      break;
  }
  Handled = false;
  return 0;
}

}  // namespace quillet
