// Hosted start-up: no dialog, no instance lock, no input rules and no cursor changes.
#include "shell/detail/host_mode.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdio>

#include "config/settings_file.h"
#include "platform/x11_embedding.h"
#include "platform/x11_host_window.h"
#include "shell/program.h"
#include "shell/screen_form.h"

namespace quillet {

namespace {

// The settings every tick reads; the host mode has no dialog to hold them.
DemoSettings HostedSettings;

std::string WindowName(uint32_t Window) {
  char Text[16];
  std::snprintf(Text, sizeof Text, "0x%x", Window);
  return Text;
}

// True while the hosted window is our own over the root rather than a child of the host's.
bool OverRoot = false;

void ResizeToHost(tScreenForm& Form, const THostSize& Size, bool OuterSize) {
  const qreal Ratio = Form.devicePixelRatioF() > 0 ? Form.devicePixelRatioF() : 1;
  const int32_t Extra = OuterSize ? 2 * Size.Border : 0;
  Form.setGeometry(0, 0, static_cast<int>(std::lround((Size.Width + Extra) / Ratio)),
                   static_cast<int>(std::lround((Size.Height + Extra) / Ratio)));
}

}  // namespace

QWidget* CreateHostedForm(const TLaunchRequest& Request, std::string& Error) {
  const uint32_t Root = ScreenRootWindow();
  if (Root == 0) {
    Error = "drawing into a window needs an X11 display";
    return nullptr;
  }
  const uint32_t Host = Request.Target == THostTarget::Window ? Request.HostWindow : VirtualRootWindow(Root);
  if (!HostWindowSize(Host)) {
    Error = "no such window: " + WindowName(Host);
    return nullptr;
  }

  // The host's own settings decide what is drawn: the built-in defaults, a settings file only
  // when one is named, then the options.
  if (!Request.SettingsFile.empty()) LoadSettings(HostedSettings, Request.SettingsFile);
  Request.Overrides.ApplyTo(HostedSettings);

  ScreenForm = new tScreenForm();
  ScreenForm->OnSurfaceError = &ReportRunError;
  ScreenForm->SetSettings(&HostedSettings);
  ScreenForm->SetHosted();
  ScreenForm->ShowRates(Request.ShowRates);
  OverRoot = Host == Root;
  if (OverRoot) {
    // A window of our own over the whole root, below every other one, that no window manager
    // takes in: drawing into the root itself would fight with the desktop's background.
    ScreenForm->setWindowFlags(ScreenForm->windowFlags() | Qt::X11BypassWindowManagerHint);
  } else if (ReparentIntoHost(*ScreenForm, Host) == 0) {
    Error = "cannot draw into window " + WindowName(Host);
    delete ScreenForm;
    ScreenForm = nullptr;
    return nullptr;
  }
  FollowHostSize(*ScreenForm, Host, false);
  // A host that closes takes its children with it: the saver then ends too.
  WhenNativeWindowDestroyed(*ScreenForm, [] { ScreenForm->close(); });
  ScreenForm->OnClosed = [] { QCoreApplication::quit(); };
  return ScreenForm;
}

void ShowHostedForm() {
  ScreenForm->show();
  if (OverRoot) ScreenForm->lower();
}

void FollowHostSize(tScreenForm& Form, uint32_t Host, bool OuterSize) {
  WhenHostResized(Form, Host, [&Form, OuterSize](const THostSize& Size) { ResizeToHost(Form, Size, OuterSize); });
  // A change made before the events were selected would go unnoticed.
  if (const std::optional<THostSize> Size = HostWindowSize(Host)) ResizeToHost(Form, *Size, OuterSize);
}

}  // namespace quillet
