// The screen window's behaviour: creation, the timer, showing and hiding, keys and the
// application-wide input rules, pausing, restarting, embedding and the rates overlay.
#include "shell/screen_form.h"

#include <utility>

#include "config/demo_settings.h"
#include "shell/sys_util.h"

namespace quillet {

namespace {

TShowCursor CursorCounterService;
int32_t LastCursorCount = 0;

}  // namespace

void SetCursorCounter(TShowCursor Counter) { CursorCounterService = std::move(Counter); }

void ShowMouseCursor() {
  if (LastCursorCount < 0 && CursorCounterService) LastCursorCount = CursorCounterService(true);
}

void HideMouseCursor() {
  if (LastCursorCount >= 0 && CursorCounterService) LastCursorCount = CursorCounterService(false);
}

int32_t CursorCounter() { return LastCursorCount; }

const char tScreenForm::DesignedCaption[] = "Quillet  (p...pause)";

tScreenForm::tScreenForm(IEventLoop& Loop)
    : FLoop(Loop), FTimer(Loop.CreatePeriodicTimer([this] { timer1Timer(); })) {}

tScreenForm::~tScreenForm() {
  if (!FWindow) return;
  if (FFiltering) FWindow->FilterAppMessages(false);
  // The view outlives the overlay it shows.
  ShowRates(false);
  FPresenter.reset();
  DrawSurface().SetDamageSink(nullptr);
}

void tScreenForm::AttachWindow(IScreenWindow& Window) {
  FWindow = &Window;
  FWindow->SetCaption(DesignedCaption);
  DrawSurface().SetDimensions(DesignedSurfaceSide, DesignedSurfaceSide);
  FormCreate();
}

void tScreenForm::FormCreate() {
  FPreviousParent = 0;
  TBitmap32& Surface = DrawSurface();
  Surface.TextFont().SetColor(ElapsedTimeTextColor);
  FFrame.SetDrawSurface(&Surface);
  Surface.SetDamageSink(&FDamage);
  // The window is not on screen yet: showing it sizes the surface, which then reports it whole.
  FDamage.FrameShown();
  FPresenter = std::make_unique<TFramePresenter>(FDamage, FWindow->FrameView(), FLoop);
  StartTiming();
}

void tScreenForm::timer1Timer() {
  if (!FSettings) return;
  const TPixelSize Client = FWindow->ClientSize();
  static const TTickClock Clock{&ElapsedMs, &StartTiming};
  const TTickOutcome Outcome = quillet::timer1Timer(FFrame, *FSettings, Client.Width, Client.Height, Clock);
  if (Outcome != TTickOutcome::Skipped) ++FTicksDrawn;
  if (FRates && FRates->Sample(static_cast<uint32_t>(FLoop.NowNanoseconds() / 1000000), FTicksDrawn,
                               FPresenter->FramesShown()))
    FWindow->OverlayChanged();
}

void tScreenForm::ShowRates(bool Show) {
  if (Show == (FRates != nullptr)) return;
  if (Show) {
    FRates = std::make_unique<TRateOverlay>();
    FWindow->SetOverlay(&FRates->Image());
  } else {
    FWindow->SetOverlay(nullptr);
    FRates.reset();
  }
}

void tScreenForm::SizeSurface(TPixelSize Size) {
  try {
    DrawSurface().SetDimensions(Size.Width, Size.Height);
    FFailedSize = {};
  } catch (const EBitmapError& Error) {
    // Showing and the first resize ask for the same size: one report is enough.
    if (Size == FFailedSize) return;
    FFailedSize = Size;
    if (OnSurfaceError) OnSurfaceError(Error.what());
  }
}

void tScreenForm::FormShow() {
  FStartCursorPos = FWindow->CursorPos();
  FTimer->Start(1);
  if (!FHosted) {
    if (!FFiltering) {
      FWindow->FilterAppMessages(true);
      FFiltering = true;
    }
    if (FWindowedTest)
      ShowMouseCursor();
    else
      HideMouseCursor();
  }
  SizeSurface(FWindow->ClientSize());
}

void tScreenForm::FormHide() {
  if (FFiltering) {
    FWindow->FilterAppMessages(false);
    FFiltering = false;
  }
  FTimer->Stop();
  ShowMouseCursor();
}

void tScreenForm::FormResize() { SizeSurface(FWindow->OuterSize()); }

void tScreenForm::FormClosed() {
  if (OnClosed) OnClosed();
}

void tScreenForm::Act(const TInputActions& Actions) {
  if (Actions.ShowConfig) {
    if (OnShowConfig) OnShowConfig();
    ShowMouseCursor();
  }
  if (Actions.TogglePause) TogglePaused();
  if (Actions.Close) FWindow->Close();
}

void tScreenForm::FormKeyDown(uint32_t VirtualKey) { Act(KeyDownActions(VirtualKey)); }

void tScreenForm::FormKeyPress(char32_t Character) { Act(KeyPressActions(Character)); }

void tScreenForm::HandleAppMessage(TAppMessage Message) {
  TInputFacts Facts;
  Facts.ScreenHasFocus = FWindow->HasFocus();
  Facts.WindowedTest = FWindowedTest;
  Facts.Embedded = FPreviousParent != 0;
  Facts.StartCursorPos = FStartCursorPos;
  // The pointer's position now, not the message's.
  if (Message == TAppMessage::MouseMove) Facts.CursorPos = FWindow->CursorPos();
  Act(AppMessageActions(Message, Facts));
}

void tScreenForm::TogglePaused() {
  FFrame.Paused = !FFrame.Paused;
  FWindow->SetCaption(FFrame.Paused ? "Quillet (paused)" : "Quillet");
}

void tScreenForm::Restart(bool Windowed) {
  FFrame.Restart();
  FWindowedTest = Windowed;
  // An embedded preview keeps its host and its look.
  if (FPreviousParent == 0) FWindow->SetLook(Windowed ? TWindowLook::Windowed : TWindowLook::FullScreen);
  DrawSurface().Erase();
}

void tScreenForm::SetHosted() {
  FHosted = true;
  FWindow->LeaveInputToHost();
}

void tScreenForm::Clear() { DrawSurface().Erase(); }

void tScreenForm::Show() { FWindow->ShowAndActivate(); }

void tScreenForm::ShowText(int32_t X, int32_t Y, TColor32 Color, std::string_view Text) {
  TBitmap32& Surface = DrawSurface();
  Surface.TextFont().SetColor(static_cast<int32_t>(ToGdiColor(Color)));
  Surface.DrawText(X, Y, Text);
}

void tScreenForm::SetParentWindow(uint32_t Parent) {
  if (Parent == 0) return;
  const std::optional<TRect> Host = FWindow->HostRect(Parent);
  FPreviousParent = FWindow->ReparentInto(Parent);
  // A host that does not exist has no rectangle; the window then keeps its bounds.
  if (Host) FWindow->SetBounds(0, 0, Host->Right - Host->Left, Host->Bottom - Host->Top);
  if (FPreviousParent == 0) FWindow->ShowInfo("SetParentWindow failed", "info");
}

}  // namespace quillet
