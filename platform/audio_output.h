// The audio output devices as the start-up probe asks the system about them: how many there are,
// and each one's name with the system's result code, so that a failed query can be reported.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// The result codes the queries return besides the system's own (0 is success).
inline constexpr uint32_t AudioOutputOk = 0;
inline constexpr uint32_t AudioOutputBadDevice = 2;

uint32_t AudioOutputCount();
// Sets Name for Device (0-based) and returns AudioOutputOk, or returns the system's error code.
uint32_t AudioOutputName(uint32_t Device, std::string& Name);
// The system's text for a result code, empty when it has none.
std::string AudioOutputErrorText(uint32_t Code);

}  // namespace quillet
