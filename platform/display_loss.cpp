// A message handler and an exit handler that look at the connection: the toolkit warns before it
// calls exit(1) on a broken connection, and the exit handler catches an exit without a warning.
// Both end with _exit, which runs no exit handler and no destructor.
#include "platform/display_loss.h"

#include <QString>
#include <QtGlobal>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/detail/x11_native.h"

namespace quillet {

namespace {

struct THeldMessage {
  QtMsgType Type;
  std::string Category;
  QString Text;
};

std::atomic<xcb_connection_t*> Watched{nullptr};
std::atomic<bool> Starting{false};
QtMessageHandler Previous = nullptr;
std::string Program = "quillet";
std::string Display;
std::mutex HeldLock;
std::vector<THeldMessage> Held;

// One write, so that the line is never torn by another thread's output.
[[noreturn]] void EndWithLine(const std::string& What) {
  const std::string Line = Program + ": " + What + "\n";
  [[maybe_unused]] const ssize_t Written = ::write(STDERR_FILENO, Line.data(), Line.size());
  ::_exit(1);
}

void EndIfConnectionLost() {
  xcb_connection_t* C = Watched.load();
  if (C && xcb_connection_has_error(C) != 0) EndWithLine("lost the connection to display " + Display);
}

void Pass(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (Previous) {
    Previous(Type, Context, Text);
  } else {
    const QByteArray Line = qFormatLogMessage(Type, Context, Text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", Line.constData());
  }
}

void OnToolkitMessage(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  EndIfConnectionLost();
  if (Starting.load()) {
    if (Type == QtFatalMsg) EndWithLine("cannot open display " + Display);
    const std::lock_guard Lock(HeldLock);
    Held.push_back({Type, Context.category ? Context.category : "", Text});
    return;
  }
  Pass(Type, Context, Text);
}

void OnExit() { EndIfConnectionLost(); }

}  // namespace

void WatchToolkitStart(const char* ProgramName) {
  if (ProgramName && *ProgramName) Program = ProgramName;
  const char* Variable = std::getenv("DISPLAY");
  Display = Variable ? Variable : "";
  Starting = true;
  Previous = qInstallMessageHandler(&OnToolkitMessage);
}

void WatchDisplayConnection() {
  std::vector<THeldMessage> Messages;
  {
    const std::lock_guard Lock(HeldLock);
    Messages.swap(Held);
    Starting = false;
  }
  for (const THeldMessage& M : Messages) {
    const QMessageLogContext Context(nullptr, 0, nullptr, M.Category.c_str());
    Pass(M.Type, Context, M.Text);
  }
  if (xcb_connection_t* C = x11::QtConnection(); C && !Watched.exchange(C)) std::atexit(&OnExit);
}

void StopWatchingDisplayConnection() {
  xcb_connection_t* C = Watched.exchange(nullptr);
  if (!C) return;
  // A server that shuts down destroys its clients' windows before it drops their connections, and
  // a host's window destroyed may be what ended the run: a round trip tells whether it is gone.
  std::free(xcb_get_input_focus_reply(C, xcb_get_input_focus(C), nullptr));
  if (xcb_connection_has_error(C) != 0) EndWithLine("lost the connection to display " + Display);
}

}  // namespace quillet
