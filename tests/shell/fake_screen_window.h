// A screen window and an event loop without a toolkit, for the shell's behaviour: the window keeps
// a surface and records what it is asked; the loop's clock moves only when a test moves it, and
// its timers fire from Advance.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/screen_form.h"
#include "shell/screen_window.h"

namespace quillet::testing {

class FakeEventLoop : public IEventLoop {
 public:
  struct Timer : ITimer {
    Timer(FakeEventLoop& Owner, std::function<void()> Handler, bool IsPeriodic)
        : Loop(Owner), OnFire(std::move(Handler)), Periodic(IsPeriodic) {}
    void Start(int32_t Milliseconds) override {
      Interval = Milliseconds;
      Due = Loop.Now + int64_t{Milliseconds} * 1000000;
      Active = true;
    }
    void Stop() override { Active = false; }
    bool IsActive() const override { return Active; }
    FakeEventLoop& Loop;
    std::function<void()> OnFire;
    bool Periodic;
    bool Active = false;
    int32_t Interval = 0;
    int64_t Due = 0;
  };

  int64_t NowNanoseconds() const override { return Now; }
  std::unique_ptr<ITimer> CreatePeriodicTimer(std::function<void()> OnTick) override { return Make(std::move(OnTick), true); }
  std::unique_ptr<ITimer> CreateOneShotTimer(std::function<void()> OnFire) override { return Make(std::move(OnFire), false); }

  // Moves the clock on by Milliseconds, one millisecond at a time, firing the timers that fall due.
  void Advance(int64_t Milliseconds) {
    for (int64_t I = 0; I < Milliseconds; ++I) {
      Now += 1000000;
      for (Timer* T : Timers) {
        if (!T->Active || T->Due > Now) continue;
        if (T->Periodic)
          T->Due = Now + int64_t{T->Interval} * 1000000;
        else
          T->Active = false;
        T->OnFire();
      }
    }
  }

  int64_t Now = 1000000000;
  std::vector<Timer*> Timers;

 private:
  std::unique_ptr<ITimer> Make(std::function<void()> OnFire, bool Periodic) {
    auto T = std::make_unique<Timer>(*this, std::move(OnFire), Periodic);
    Timers.push_back(T.get());
    return T;
  }
};

class FakeScreenWindow : public IScreenWindow, public IFrameView {
 public:
  explicit FakeScreenWindow(tScreenForm& Owner) : Form(&Owner) {}

  TBitmap32& Surface() override { return Bitmap; }
  IFrameView& FrameView() override { return *this; }
  void SetCaption(std::string_view Text) override { Caption = Text; }
  bool IsVisible() const override { return Visible; }
  void ShowAndActivate() override {
    Calls.push_back("show");
    if (!Visible) {
      Visible = true;
      if (Form) Form->FormShow();
    }
    Focused = true;
  }
  void Close() override {
    if (Visible) {
      Visible = false;
      if (Form) Form->FormHide();
    }
    if (Form) Form->FormClosed();
  }
  void SetLook(TWindowLook NewLook) override {
    Look = NewLook;
    Calls.push_back(NewLook == TWindowLook::Windowed ? "windowed" : "full screen");
  }
  TPixelSize ClientSize() const override { return Client; }
  TPixelSize OuterSize() const override { return Outer.Width ? Outer : Client; }
  bool HasFocus() const override { return Focused; }
  TScreenPoint CursorPos() const override { return Cursor; }
  void FilterAppMessages(bool On) override { Filtering = On; }
  void LeaveInputToHost() override { InputToHost = true; }
  std::optional<TRect> HostRect(uint32_t Host) override {
    if (Host != KnownHost) return std::nullopt;
    return TRect{10, 20, 10 + 300, 20 + 200};
  }
  uint32_t ReparentInto(uint32_t Host) override { return Host == KnownHost ? 1 : 0; }
  void SetBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) override {
    Bounds = {Left, Top, Left + Width, Top + Height};
  }
  void FollowHostSize(uint32_t Host) override { Followed = Host; }
  void ShowInfo(std::string_view Text, std::string_view Title) override {
    Infos.push_back(std::string(Title) + ": " + std::string(Text));
  }
  void SetOverlay(const TBitmap32* Image) override { Overlay = Image; }
  void OverlayChanged() override { ++OverlayChanges; }
  void DetachForm() override { Form = nullptr; }

  void PresentAreas(const std::vector<TRect>& Copy, const std::vector<TRect>&) override {
    ++Frames;
    LastCopy = Copy;
  }
  double RefreshRate() const override { return Refresh; }

  tScreenForm* Form;
  TBitmap32 Bitmap;
  std::string Caption;
  bool Visible = false;
  bool Focused = false;
  bool Filtering = false;
  bool InputToHost = false;
  TWindowLook Look = TWindowLook::FullScreen;
  TPixelSize Client{320, 200};
  TPixelSize Outer{};
  TScreenPoint Cursor{100, 100};
  uint32_t KnownHost = 0x400001;
  TRect Bounds{};
  uint32_t Followed = 0;
  std::vector<std::string> Infos;
  std::vector<std::string> Calls;
  const TBitmap32* Overlay = nullptr;
  int OverlayChanges = 0;
  int Frames = 0;
  std::vector<TRect> LastCopy;
  double Refresh = 50;
};

}  // namespace quillet::testing
