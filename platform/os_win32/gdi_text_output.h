// Text output for the surface through GDI, and the system colours from the system.
#pragma once

namespace quillet {

// Installs a process-wide GDI text engine as the surfaces' text output and GetSysColor as the
// source of system colours. Text is drawn with ExtTextOutW into a DIB section that holds a copy
// of the pixels under it, then copied back.
void InstallGdiTextOutput();

}  // namespace quillet
