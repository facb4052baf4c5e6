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
  // Any bytes are accepted; lines end at "\n", a "\r" before it belongs to the line end. The
  // document keeps Text itself (pass an rvalue to avoid a copy). Texts above MaxTextSize throw
  // std::length_error.
  static ProfileDocument Parse(std::string Text);

  std::string Get(std::string_view Section, std::string_view Key, std::string_view Default) const;

  // Throws std::invalid_argument for names or values that could not be read back as written:
  // empty names, line breaks anywhere, "]" in a section, "=" in a key, names with surrounding
  // blanks, keys that would read as a comment or a section header. Values with surrounding blanks
  // or surrounding matching quotes are written inside double quotes so that they read back.
  void Set(std::string_view Section, std::string_view Key, std::string_view Value);

  std::string Serialize() const { return FText; }
  // The document's bytes, without a copy.
  std::string_view Text() const { return FText; }

  static constexpr std::size_t MaxTextSize = 0x7FFFFFFF;

 private:
  // The document is its text. Only section headers and key lines are indexed, by their start
  // offset with HeaderBit set for headers; names and values are read again from the text when
  // needed. Blank lines and comments thus cost nothing, and the index at most 4 bytes per 3-byte
  // line, whatever the file holds.
  static constexpr uint32_t HeaderBit = 0x80000000u;
  static uint32_t Offset(uint32_t Entry) { return Entry & ~HeaderBit; }
  static bool IsHeader(uint32_t Entry) { return (Entry & HeaderBit) != 0; }

  void BuildIndex();
  // Index of the first entry that is a header of Section, or the number of entries.
  std::size_t FindSection(std::string_view Section) const;
  // Index of the next header entry after the one at Header, or the number of entries.
  std::size_t SectionEnd(std::size_t Header) const;
  // The end of the first line that has one, else "\n", fixed by the first line added: the end
  // that a last line gains then belongs to that line, even after a "\r" of its own.
  const std::string& NewLineEnding();
  // Replaces Removed bytes at Pos with Insert and moves the offsets of the entries from
  // FirstAfter on. Growth keeps some room, so that a save of many keys copies the text rarely.
  void Splice(std::size_t Pos, std::size_t Removed, std::string_view Insert, std::size_t FirstAfter);
  void InsertEntry(std::size_t At, uint32_t Entry);
  // Puts HeaderLine (unless empty) and KeyLine at At, a line start or the end of the text, with
  // the file's line end; their entries go in at EntryAt.
  void InsertLines(std::size_t At, std::size_t EntryAt, std::string_view HeaderLine,
                   std::string_view KeyLine);

  std::string FText;
  std::vector<uint32_t> FEntries;
  std::string FLineEnding;  // empty until NewLineEnding first runs
  // The last section looked up and its header's entry (the number of entries when it is missing),
  // so that reading or writing the keys of one section passes the headers once. Inserting an entry
  // forgets it. This makes lookups unsafe to run from several threads on one document.
  mutable std::string FFoundSection;
  mutable std::size_t FFoundHeader = NothingFound;
  static constexpr std::size_t NothingFound = ~std::size_t{0};
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
