// MIT-SHM through Qt's XCB connection: memory files mapped here and attached by the server; plain
// memory and puts through the connection where the server has no shared memory.
#include "platform/detail/x11_shm_surface.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "platform/detail/x11_native.h"

namespace quillet {

namespace {

constexpr uint8_t SurfaceDepth = 24;

// The server keeps depth-24 pixels as 32-bit words in this machine's byte order.
bool ServerLayoutFits(xcb_connection_t* C) {
  const xcb_setup_t* Setup = xcb_get_setup(C);
  const bool LittleEndianServer = Setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  if (LittleEndianServer != (std::endian::native == std::endian::little)) return false;
  for (auto It = xcb_setup_pixmap_formats_iterator(Setup); It.rem; xcb_format_next(&It))
    if (It.data->depth == SurfaceDepth) return It.data->bits_per_pixel == 32;
  return false;
}

// A true-colour visual with red, green and blue where the surface keeps them.
bool VisualFits(xcb_connection_t* C, xcb_visualid_t Visual) {
  for (auto Screen = xcb_setup_roots_iterator(xcb_get_setup(C)); Screen.rem; xcb_screen_next(&Screen))
    for (auto Depth = xcb_screen_allowed_depths_iterator(Screen.data); Depth.rem; xcb_depth_next(&Depth))
      for (auto V = xcb_depth_visuals_iterator(Depth.data); V.rem; xcb_visualtype_next(&V))
        if (V.data->visual_id == Visual)
          return Depth.data->depth == SurfaceDepth && V.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                 V.data->red_mask == 0xFF0000 && V.data->green_mask == 0xFF00 && V.data->blue_mask == 0xFF;
  return false;
}

// The server attaches memory files from MIT-SHM 1.2 on.
bool ServerSharesMemoryFiles(xcb_connection_t* C) {
  const xcb_query_extension_reply_t* Extension = xcb_get_extension_data(C, &xcb_shm_id);
  if (!Extension || !Extension->present) return false;
  const x11::XcbReply<xcb_shm_query_version_reply_t> Version(
      xcb_shm_query_version_reply(C, xcb_shm_query_version(C), nullptr));
  return Version && (Version->major_version > 1 || (Version->major_version == 1 && Version->minor_version >= 2));
}

}  // namespace

std::shared_ptr<TX11ShmSurface> TX11ShmSurface::Create() {
  xcb_connection_t* C = x11::QtConnection();
  if (!C || !ServerLayoutFits(C)) return nullptr;
  return std::shared_ptr<TX11ShmSurface>(new TX11ShmSurface(C, ServerSharesMemoryFiles(C)));
}

TX11ShmSurface::~TX11ShmSurface() {
  xcb_connection_t* C = Connection();
  if (C && FContext) xcb_free_gc(C, FContext);
  // The surface releases its memory first; whatever is left goes here.
  for (const TSegment& S : FSegments) {
    if (C && S.Id) xcb_shm_detach(C, S.Id);
    if (S.Mapped)
      munmap(S.Memory, S.Bytes);
    else
      std::free(S.Memory);
  }
  if (C) xcb_flush(C);
}

xcb_connection_t* TX11ShmSurface::Connection() const {
  return x11::QtConnection() == FConnection ? FConnection : nullptr;
}

void* TX11ShmSurface::Allocate(size_t Bytes) {
  TSegment S;
  S.Bytes = Bytes;
  const int File = FShared ? memfd_create("quillet-surface", MFD_CLOEXEC) : -1;
  if (File >= 0 && ftruncate(File, static_cast<off_t>(Bytes)) == 0) {
    void* Memory = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_SHARED, File, 0);
    if (Memory != MAP_FAILED) {
      S.Memory = Memory;
      S.Mapped = true;
    }
  }
  xcb_connection_t* C = Connection();
  if (S.Mapped && C) {
    // The connection takes the descriptor and closes it once sent.
    const xcb_shm_seg_t Id = xcb_generate_id(C);
    const x11::XcbReply<xcb_generic_error_t> Error(xcb_request_check(C, xcb_shm_attach_fd_checked(C, Id, File, 1)));
    if (!Error) S.Id = Id;
  } else if (File >= 0) {
    close(File);
  }
  if (!S.Mapped) {
    S.Memory = std::calloc(Bytes, 1);
    if (!S.Memory) return nullptr;
  }
  FSegments.push_back(S);
  return S.Memory;
}

void TX11ShmSurface::Release(void* Memory, size_t) {
  const auto It = std::find_if(FSegments.begin(), FSegments.end(),
                               [Memory](const TSegment& S) { return S.Memory == Memory; });
  if (It == FSegments.end()) return;
  // Requests are handled in order: puts already sent read the memory before the detach.
  if (xcb_connection_t* C = Connection(); C && It->Id) {
    xcb_shm_detach(C, It->Id);
    xcb_flush(C);
  }
  if (It->Mapped)
    munmap(It->Memory, It->Bytes);
  else
    std::free(It->Memory);
  FSegments.erase(It);
}

bool TX11ShmSurface::SelectWindow(xcb_window_t Window) {
  xcb_connection_t* C = Connection();
  if (!C || Window == 0) return false;
  if (Window == FWindow) return FWindowFits;
  if (FContext) xcb_free_gc(C, FContext);
  FContext = 0;
  FWindow = Window;
  const x11::XcbReply<xcb_get_window_attributes_reply_t> Attributes(
      xcb_get_window_attributes_reply(C, xcb_get_window_attributes(C, Window), nullptr));
  FWindowFits = Attributes && VisualFits(C, Attributes->visual);
  if (FWindowFits) {
    FContext = xcb_generate_id(C);
    const uint32_t Values[] = {0 /* black */, 0 /* no exposure events */};
    xcb_create_gc(C, FContext, Window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, Values);
  }
  return FWindowFits;
}

void TX11ShmSurface::PutWithoutSharing(xcb_window_t Window, const TBitmap32& Surface, const TRect& R, int32_t ToX,
                                       int32_t ToY) {
  xcb_connection_t* C = FConnection;
  const uint32_t RowBytes = static_cast<uint32_t>(R.Right - R.Left) * 4;
  // The request's own fields take 24 bytes; the rest carries rows.
  const uint64_t MaxBytes = uint64_t{xcb_get_maximum_request_length(C)} * 4 - 64;
  const int32_t RowsPerBand = static_cast<int32_t>(std::max<uint64_t>(1, MaxBytes / RowBytes));
  std::vector<uint8_t> Band;
  for (int32_t Top = R.Top; Top < R.Bottom; Top += RowsPerBand) {
    const int32_t Rows = std::min(RowsPerBand, R.Bottom - Top);
    Band.resize(size_t{RowBytes} * static_cast<size_t>(Rows));
    for (int32_t Y = 0; Y < Rows; ++Y)
      std::copy_n(reinterpret_cast<const uint8_t*>(Surface.PixelAddress(R.Left, Top + Y)), RowBytes,
                  Band.data() + size_t{RowBytes} * static_cast<size_t>(Y));
    xcb_put_image(C, XCB_IMAGE_FORMAT_Z_PIXMAP, Window, FContext, static_cast<uint16_t>(R.Right - R.Left),
                  static_cast<uint16_t>(Rows), static_cast<int16_t>(ToX), static_cast<int16_t>(ToY + Top - R.Top), 0,
                  SurfaceDepth, static_cast<uint32_t>(Band.size()), Band.data());
  }
}

bool TX11ShmSurface::Put(xcb_window_t Window, const TBitmap32& Surface, const std::vector<TRect>& Rects,
                         const std::vector<TRect>& Fill) {
  if (!SelectWindow(Window)) return false;
  xcb_connection_t* C = FConnection;
  // Window coordinates are 16-bit.
  constexpr int32_t Largest = INT16_MAX;
  std::vector<xcb_rectangle_t> Black;
  for (const TRect& R : Fill) {
    const TRect F{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Largest), std::min(R.Bottom, Largest)};
    if (F.Right > F.Left && F.Bottom > F.Top)
      Black.push_back({static_cast<int16_t>(F.Left), static_cast<int16_t>(F.Top),
                       static_cast<uint16_t>(F.Right - F.Left), static_cast<uint16_t>(F.Bottom - F.Top)});
  }
  if (!Black.empty())
    xcb_poly_fill_rectangle(C, Window, FContext, static_cast<uint32_t>(Black.size()), Black.data());
  const int32_t W = Surface.Width();
  const int32_t H = Surface.Height();
  if (!Surface.IsEmpty() && W <= Largest && H <= Largest) {
    const auto Segment = std::find_if(FSegments.begin(), FSegments.end(), [&](const TSegment& S) {
      return S.Memory == Surface.PixelPtr() && S.Bytes >= size_t{4} * static_cast<size_t>(W) * static_cast<size_t>(H);
    });
    for (const TRect& Area : Rects) {
      const TRect R{std::max(Area.Left, 0), std::max(Area.Top, 0), std::min(Area.Right, W),
                    std::min(Area.Bottom, H)};
      if (R.Right <= R.Left || R.Bottom <= R.Top) continue;
      if (Segment != FSegments.end() && Segment->Id)
        xcb_shm_put_image(C, Window, FContext, static_cast<uint16_t>(W), static_cast<uint16_t>(H),
                          static_cast<uint16_t>(R.Left), static_cast<uint16_t>(R.Top),
                          static_cast<uint16_t>(R.Right - R.Left), static_cast<uint16_t>(R.Bottom - R.Top),
                          static_cast<int16_t>(R.Left), static_cast<int16_t>(R.Top), SurfaceDepth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, Segment->Id, 0);
      else
        PutWithoutSharing(Window, Surface, R, R.Left, R.Top);
    }
  }
  xcb_flush(C);
  return true;
}

bool TX11ShmSurface::PutImage(xcb_window_t Window, const TBitmap32& Image, int32_t X, int32_t Y) {
  if (!SelectWindow(Window)) return false;
  constexpr int32_t Largest = INT16_MAX;
  // The part of the image that lands inside 0 .. Largest of the window.
  const TRect Source{std::max(0, -X), std::max(0, -Y), std::min(Image.Width(), Largest - X),
                     std::min(Image.Height(), Largest - Y)};
  if (Image.IsEmpty() || Source.Right <= Source.Left || Source.Bottom <= Source.Top) return true;
  PutWithoutSharing(Window, Image, Source, X + Source.Left, Y + Source.Top);
  xcb_flush(FConnection);
  return true;
}

}  // namespace quillet
