// Profile (INI) files: an in-memory document with the lookup and update rules the settings rely
// on, and a file session that reads the file once and replaces it atomically when closed.
//
// Reading: sections and keys match without regard to (ASCII) case; the first matching section
// and, inside it, the first matching key win. A value is the text after the first "=", trimmed of
// blanks and tabs; one pair of matching surrounding quotes (" or ') is then removed; at most
// ProfileValueLimit characters are returned. Lines whose first non-blank character is ";" or "#"
// are comments; a line without "=" that is no section header is kept but never read.
//
// Writing: updates the first matching key line of the first matching section, or adds the key
// after the last key line of that section, or adds the section at the end of the file. Every other
// line keeps its bytes and place, line ends included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The reader's buffer holds 2048 bytes including the terminating zero.
inline constexpr std::size_t ProfileValueLimit = 2047;

// Largest file that is read; anything bigger (or not a regular file) counts as unreadable.
inline constexpr std::uintmax_t ProfileFileSizeLimit = 16u << 20;

// A write that the system refused. The message names the file as the caller named it.
class ProfileWriteError : public std::runtime_error {
 public:
  ProfileWriteError(const std::string& FileName, int SystemError);
  const std::string& FileName() const { return FFileName; }
  // errno of the failing call, 0 when the refusal was the profile code's own.
  int SystemError() const { return FSystemError; }

 private:
  std::string FFileName;
  int FSystemError;
};

class ProfileDocument {
 public:
  ProfileDocument() = default;
  // Any bytes are accepted; lines end at "\n", a "\r" before it belongs to the line end.
  static ProfileDocument Parse(std::string_view Text);

  std::string Get(std::string_view Section, std::string_view Key, std::string_view Default) const;

  // Throws std::invalid_argument for names or values that could not be read back as written:
  // empty names, line breaks anywhere, "]" in a section, "=" in a key, names with surrounding
  // blanks, keys that would read as a comment or a section header. Values with surrounding blanks
  // or surrounding matching quotes are written inside double quotes so that they read back.
  void Set(std::string_view Section, std::string_view Key, std::string_view Value);

  std::string Serialize() const;

 private:
  enum class LineKind : uint8_t { Other, Section, Key };
  struct Line {
    std::string Text;    // without its line end
    std::string Ending;  // "\n", "\r\n", or empty for a last line without one
    LineKind Kind = LineKind::Other;
    std::string Name;  // the section or key name, trimmed
  };

  static Line Classify(std::string Text, std::string Ending);
  // Index of the first header of Section, or Lines.size().
  std::size_t FindSection(std::string_view Section) const;
  // One past the last line of the section whose header is at Header.
  std::size_t SectionEnd(std::size_t Header) const;
  std::string NewLineEnding() const;
  void InsertLine(std::size_t At, std::string Text);

  std::vector<Line> Lines;
};

// One reading or writing pass over a profile file. The file is read when the session opens; writes
// change the copy in memory and Close() puts it in place atomically (a temporary file beside it,
// flushed, then renamed over it), so a refused save leaves the old file as it was. A session that
// is destroyed without Close() discards its writes.
class ProfileFile {
 public:
  // NameForMessages is the name that errors report; empty means the path's last component.
  explicit ProfileFile(std::filesystem::path Path, std::string NameForMessages = {});

  std::string Read(std::string_view Section, std::string_view Key, std::string_view Default) const;
  void Write(std::string_view Section, std::string_view Key, std::string_view Value);
  // Writes the file when anything was written; throws ProfileWriteError when that is refused.
  // A file that exists but could not be read is never replaced.
  void Close();

  const ProfileDocument& Document() const { return FDocument; }
  // False when the file exists but could not be read (it then reads as empty).
  bool Readable() const { return FReadable; }

 private:
  std::filesystem::path FPath;
  std::string FName;
  ProfileDocument FDocument;
  bool FReadable = true;
  bool FChanged = false;
};

// One-shot forms: each opens, reads or writes one value, and closes.
std::string ReadProfileString(const std::filesystem::path& Path, std::string_view Section,
                              std::string_view Key, std::string_view Default);
void WriteProfileString(const std::filesystem::path& Path, std::string_view Section,
                        std::string_view Key, std::string_view Value);

}  // namespace quillet
