// The audio output queries through the multimedia layer's wave-out calls.
#include "platform/audio_output.h"

#include <windows.h>
#include <mmsystem.h>

#include <cwchar>

#include "platform/os_win32/wide_text.h"

namespace quillet {

uint32_t AudioOutputCount() { return ::waveOutGetNumDevs(); }

uint32_t AudioOutputName(uint32_t Device, std::string& Name) {
  WAVEOUTCAPSW Caps{};
  const MMRESULT Code = ::waveOutGetDevCapsW(Device, &Caps, sizeof Caps);
  if (Code != MMSYSERR_NOERROR) return Code;
  Name = win32::Utf8FromWide(std::wstring_view(Caps.szPname, ::wcsnlen(Caps.szPname, MAXPNAMELEN)));
  return AudioOutputOk;
}

std::string AudioOutputErrorText(uint32_t Code) {
  wchar_t Text[MAXERRORLENGTH] = {};
  if (::waveOutGetErrorTextW(Code, Text, MAXERRORLENGTH) != MMSYSERR_NOERROR) return {};
  return win32::Utf8FromWide(std::wstring_view(Text, ::wcsnlen(Text, MAXERRORLENGTH)));
}

}  // namespace quillet
