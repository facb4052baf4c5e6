// Surface memory in section objects, shown through DIB sections over the same pages.
#include "platform/ui_win32/dib_section_store.h"

#include <windows.h>

#include <algorithm>

namespace quillet {

namespace {

BITMAPINFO TopDown32(int32_t Width, int32_t Height) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof Info.bmiHeader;
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;  // rows from the top, as the surface keeps them
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  return Info;
}

TRect Clipped(const TRect& R, int32_t Width, int32_t Height) {
  return {std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Width), std::min(R.Bottom, Height)};
}

}  // namespace

void PutPixels(win32::DeviceContext Target, const TColor32* Pixels, int32_t Width, int32_t Height, const TRect& Rect,
               int32_t Left, int32_t Top) {
  const TRect R = Clipped(Rect, Width, Height);
  if (!Pixels || R.Right <= R.Left || R.Bottom <= R.Top) return;
  // An image of just the rectangle's rows: the source rows then need no orientation rule.
  const int32_t Rows = R.Bottom - R.Top;
  const BITMAPINFO Info = TopDown32(Width, Rows);
  ::SetDIBitsToDevice(Target, Left + R.Left, Top + R.Top, static_cast<DWORD>(R.Right - R.Left), static_cast<DWORD>(Rows),
                      R.Left, 0, 0, static_cast<UINT>(Rows), Pixels + static_cast<size_t>(R.Top) * Width, &Info,
                      DIB_RGB_COLORS);
}

TDibSectionStore::~TDibSectionStore() {
  // The surface gives its memory back first; whatever is left goes here.
  for (TBlock& B : FBlocks) {
    DropSection(B);
    ::UnmapViewOfFile(B.Memory);
    ::CloseHandle(B.Mapping);
  }
}

void* TDibSectionStore::Allocate(size_t Bytes) {
  const uint64_t Size = Bytes;
  const HANDLE Mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(Size >> 32),
                                              static_cast<DWORD>(Size & 0xFFFFFFFF), nullptr);
  if (!Mapping) return nullptr;
  // The pages of a new section read as zero.
  void* Memory = ::MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, Bytes);
  if (!Memory) {
    ::CloseHandle(Mapping);
    return nullptr;
  }
  TBlock Block;
  Block.Memory = Memory;
  Block.Bytes = Bytes;
  Block.Mapping = Mapping;
  FBlocks.push_back(Block);
  return Memory;
}

void TDibSectionStore::Release(void* Memory, size_t) {
  const auto It = std::find_if(FBlocks.begin(), FBlocks.end(), [Memory](const TBlock& B) { return B.Memory == Memory; });
  if (It == FBlocks.end()) return;
  DropSection(*It);
  ::UnmapViewOfFile(It->Memory);
  ::CloseHandle(It->Mapping);
  FBlocks.erase(It);
}

void TDibSectionStore::DropSection(TBlock& Block) {
  if (Block.Dc) ::DeleteDC(Block.Dc);
  if (Block.Section) ::DeleteObject(Block.Section);
  Block.Dc = nullptr;
  Block.Section = nullptr;
}

TDibSectionStore::TBlock* TDibSectionStore::BlockOf(const void* Memory) {
  for (TBlock& B : FBlocks)
    if (B.Memory == Memory) return &B;
  return nullptr;
}

bool TDibSectionStore::ShowsFromSection(const TBitmap32& Surface) const {
  for (const TBlock& B : FBlocks)
    if (B.Memory == Surface.PixelPtr()) return B.Dc != nullptr;
  return false;
}

void TDibSectionStore::Put(win32::DeviceContext Target, const TBitmap32& Surface, const std::vector<TRect>& Rects) {
  if (Surface.IsEmpty()) return;
  const int32_t W = Surface.Width(), H = Surface.Height();
  TBlock* Block = BlockOf(Surface.PixelPtr());
  if (Block && !Block->SectionFailed && (Block->Width != W || Block->Height != H || !Block->Dc)) {
    DropSection(*Block);
    const uint64_t Needed = uint64_t{static_cast<uint32_t>(W)} * static_cast<uint32_t>(H) * sizeof(TColor32);
    const BITMAPINFO Info = TopDown32(W, H);
    void* Bits = nullptr;
    if (Needed <= Block->Bytes)
      Block->Section = ::CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, Block->Mapping, 0);
    Block->Dc = Block->Section ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (Block->Dc) {
      ::SelectObject(Block->Dc, Block->Section);
      Block->Width = W;
      Block->Height = H;
    } else {
      DropSection(*Block);
      Block->SectionFailed = true;  // SetDIBitsToDevice from the memory instead
    }
  }
  const bool FromSection = Block && Block->Dc;
  for (const TRect& Rect : Rects) {
    const TRect R = Clipped(Rect, W, H);
    if (R.Right <= R.Left || R.Bottom <= R.Top) continue;
    if (FromSection)
      ::BitBlt(Target, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top, Block->Dc, R.Left, R.Top, SRCCOPY);
    else
      PutPixels(Target, Surface.PixelPtr(), W, H, R);
  }
}

}  // namespace quillet
