// Whether the program can reach a display before the toolkit tries to (the toolkit aborts when it
// cannot), so that a mode that needs one can say so in one line; and a hold on the X server until
// the toolkit has a connection of its own.
#pragma once

#include <string>

struct xcb_connection_t;

namespace quillet {

class TDisplayHold {
 public:
  TDisplayHold() = default;
  ~TDisplayHold() { Release(); }
  TDisplayHold(const TDisplayHold&) = delete;
  TDisplayHold& operator=(const TDisplayHold&) = delete;

  // True when the X server in $DISPLAY accepts a connection and its default screen shows true
  // colour of at least 15 bits, or when QT_QPA_PLATFORM names a platform other than xcb (the
  // toolkit then decides). Otherwise false, with Reason set. The connection stays open until
  // Release: a server with no other client resets when its last one leaves, and a toolkit that
  // connects during that reset fails.
  bool Open(std::string& Reason);
  void Release();

 private:
  xcb_connection_t* FConnection = nullptr;
};

}  // namespace quillet
