// Surface memory that the X server reads as well (MIT-SHM with a memory file handed to the
// server), and puts of rectangles from it straight into a window: showing a frame then copies
// nothing on the program's side, and the server copies only the rectangles asked for. Without
// shared memory (no MIT-SHM, or a server that cannot reach this machine's memory), the same
// rectangles go through the connection: still far cheaper than the toolkit's painting.
#pragma once

#include <xcb/xcb.h>
#include <xcb/shm.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "raster/bitmap32.h"

namespace quillet {

class TX11ShmSurface final : public TPixelStore {
 public:
  // Null unless the program runs on X11 and the server keeps 24-bit colour as 32-bit pixels in
  // this machine's byte order, the surface's own layout. Memory is shared when the server takes
  // memory files (MIT-SHM 1.2).
  static std::shared_ptr<TX11ShmSurface> Create();
  ~TX11ShmSurface() override;

  // Memory the server has attached, or plain zeroed memory when it refused (puts then go
  // through the connection).
  void* Allocate(size_t Bytes) override;
  void Release(void* Memory, size_t Bytes) override;

  // Fills Fill (window pixels) black, then puts Rects (surface pixels, clipped to the surface) of
  // Surface at the same place in Window. False, with nothing done, when the window does not keep
  // 24-bit colour in the surface's layout.
  bool Put(xcb_window_t Window, const TBitmap32& Surface, const std::vector<TRect>& Rects,
           const std::vector<TRect>& Fill = {});
  // Puts the whole of Image (any memory) with its top-left corner at (X, Y) of Window, through the
  // connection; what falls outside the window's coordinates is left out. False as Put.
  bool PutImage(xcb_window_t Window, const TBitmap32& Image, int32_t X, int32_t Y);

 private:
  struct TSegment {
    void* Memory = nullptr;
    size_t Bytes = 0;
    bool Mapped = false;       // from a memory file; else from the heap
    xcb_shm_seg_t Id = 0;      // 0: the server has no copy of it
  };

  TX11ShmSurface(xcb_connection_t* Connection, bool Shared) : FConnection(Connection), FShared(Shared) {}
  // Whether Window takes the surface's pixels; makes the context that the puts use.
  bool SelectWindow(xcb_window_t Window);
  // R of Surface at (ToX, ToY) of Window through the connection, in bands that fit a request.
  void PutWithoutSharing(xcb_window_t Window, const TBitmap32& Surface, const TRect& R, int32_t ToX, int32_t ToY);
  // The connection, while it is still the application's.
  xcb_connection_t* Connection() const;

  xcb_connection_t* FConnection;
  bool FShared;  // the server takes memory files
  std::vector<TSegment> FSegments;
  xcb_window_t FWindow = 0;
  bool FWindowFits = false;
  xcb_gcontext_t FContext = 0;
};

}  // namespace quillet
