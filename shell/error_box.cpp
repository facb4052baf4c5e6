// The error box and its exits.
#include "shell/error_box.h"

#include <cstdlib>
#include <utility>

#include "platform/message_box_codes.h"
#include "shell/instance_mutex.h"
#include "shell/sys_util.h"

namespace quillet {

namespace {

TErrorBoxHooks& Hooks() {
  static TErrorBoxHooks Current;
  return Current;
}

}  // namespace

void SetErrorBoxHooks(TErrorBoxHooks NewHooks) { Hooks() = std::move(NewHooks); }

void EndProcessWithCode(int ExitCode) {
  CloseInstanceMutex();
  std::exit(ExitCode);
}

int ErrorBox(std::string_view Caption, std::string_view Text, uint32_t Flags) {
  const TErrorBoxHooks& H = Hooks();
  const auto End = [&H](int Code) {
    if (H.EndProcess)
      H.EndProcess(Code);
    else
      EndProcessWithCode(Code);
  };
  const int Button = H.ShowBox ? H.ShowBox(Text, Caption, Flags | MB_ICONHAND) : 0;
  if (Button == IDCANCEL || Button == IDABORT) {
    if (H.SetClipboard) H.SetClipboard(Text);
    End(ExitAborted);
    return Button;
  }
  if (Button == 0) {
    End(ExitErrorBoxFailed);
    return Button;
  }
  StartTiming();
  return Button;
}

}  // namespace quillet
