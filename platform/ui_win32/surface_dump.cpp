// The surface written to the file a test names.
#include "platform/ui_win32/surface_dump.h"

#include <windows.h>

#include <vector>

#include "platform/file_replace.h"

namespace quillet {

std::string SurfaceAsPpm(const TBitmap32& Surface) {
  const int32_t W = Surface.IsEmpty() ? 0 : Surface.Width();
  const int32_t H = Surface.IsEmpty() ? 0 : Surface.Height();
  std::string Out = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
  const size_t Header = Out.size();
  Out.resize(Header + static_cast<size_t>(W) * H * 3);
  char* To = Out.data() + Header;
  const TColor32* From = Surface.PixelPtr();
  for (size_t I = 0, N = static_cast<size_t>(W) * H; I < N; ++I) {
    const TColor32 C = From[I];
    *To++ = static_cast<char>((C >> 16) & 0xFF);
    *To++ = static_cast<char>((C >> 8) & 0xFF);
    *To++ = static_cast<char>(C & 0xFF);
  }
  return Out;
}

TSurfaceDump::TSurfaceDump(std::filesystem::path File, const TBitmap32& Surface, IEventLoop& Loop)
    : FFile(std::move(File)), FSurface(Surface), FLoop(Loop), FLater(Loop.CreateOneShotTimer([this] { Write(); })) {}

std::optional<std::filesystem::path> TSurfaceDump::RequestedFile() {
  const wchar_t Name[] = L"QUILLET_SURFACE_DUMP";
  const DWORD Size = ::GetEnvironmentVariableW(Name, nullptr, 0);
  if (Size <= 1) return std::nullopt;
  std::vector<wchar_t> Value(Size);
  const DWORD Length = ::GetEnvironmentVariableW(Name, Value.data(), Size);
  if (Length == 0 || Length >= Size) return std::nullopt;
  return std::filesystem::path(std::wstring(Value.data(), Length));
}

void TSurfaceDump::FrameShown() {
  const int64_t Since = (FLoop.NowNanoseconds() - FLastWritten) / 1000000;
  if (Since >= IntervalMs)
    Write();
  else if (!FLater->IsActive())
    FLater->Start(static_cast<int32_t>(IntervalMs - Since));
}

void TSurfaceDump::Write() {
  FLater->Stop();
  FLastWritten = FLoop.NowNanoseconds();
  // A test's aid: a file that cannot be written is no reason to disturb the saver.
  ReplaceFileAtomically(FFile, SurfaceAsPpm(FSurface));
}

}  // namespace quillet
