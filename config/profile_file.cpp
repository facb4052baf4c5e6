// Profile (INI) documents and file sessions.
#include "config/profile_file.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "platform/file_replace.h"

namespace quillet {

namespace {

// Appends piece by piece; GCC 12 warns falsely about chains of operator+ on strings.
template <typename... Parts>
std::string Join(const Parts&... P) {
  std::string S;
  (S.append(std::string_view(P)), ...);
  return S;
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

std::string_view Trim(std::string_view S) {
  while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
  return S;
}

// ASCII only: names in other encodings compare byte for byte.
char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (LowerAscii(A[I]) != LowerAscii(B[I])) return false;
  return true;
}

bool IsQuote(char C) { return C == '"' || C == '\''; }

bool HasSurroundingQuotes(std::string_view S) {
  return S.size() >= 2 && IsQuote(S.front()) && S.front() == S.back();
}

bool HasLineBreak(std::string_view S) { return S.find_first_of("\r\n") != std::string_view::npos; }

bool IsCommentStart(char C) { return C == ';' || C == '#'; }

void CheckSection(std::string_view Section) {
  if (Section.empty() || Trim(Section) != Section || HasLineBreak(Section) ||
      Section.find(']') != std::string_view::npos)
    throw std::invalid_argument("profile section name cannot be stored: " + std::string(Section));
}

void CheckKey(std::string_view Key) {
  if (Key.empty() || Trim(Key) != Key || HasLineBreak(Key) || Key.find('=') != std::string_view::npos ||
      Key.front() == '[' || IsCommentStart(Key.front()))
    throw std::invalid_argument("profile key cannot be stored: " + std::string(Key));
}

// The text after "=" that reads back as Value.
std::string EncodeValue(std::string_view Value) {
  if (HasLineBreak(Value)) throw std::invalid_argument("profile value holds a line break");
  if (Trim(Value) != Value || HasSurroundingQuotes(Value)) return Join("\"", Value, "\"");
  return std::string(Value);
}

std::string DecodeValue(std::string_view Raw) {
  std::string_view V = Trim(Raw);
  if (HasSurroundingQuotes(V)) V = V.substr(1, V.size() - 2);
  return std::string(V.substr(0, ProfileValueLimit));
}

}  // namespace

ProfileWriteError::ProfileWriteError(const std::string& FileName, int SystemError)
    : std::runtime_error(Join("In ", FileName, " kann nicht geschrieben werden")),
      FFileName(FileName),
      FSystemError(SystemError) {}

// --- Document -----------------------------------------------------------------------------------

namespace {

enum class LineKind : uint8_t { Other, Section, Key };

// One line of a text: [Begin, BodyEnd) is its content, [BodyEnd, End) its line end, which is
// empty only for a last line without one.
struct LineSpan {
  std::size_t Begin, BodyEnd, End;
};

LineSpan LineAt(std::string_view Text, std::size_t Begin) {
  const std::size_t Newline = Text.find('\n', Begin);
  if (Newline == std::string_view::npos) return {Begin, Text.size(), Text.size()};
  const std::size_t BodyEnd = Newline > Begin && Text[Newline - 1] == '\r' ? Newline - 1 : Newline;
  return {Begin, BodyEnd, Newline + 1};
}

std::string_view Body(std::string_view Text, const LineSpan& L) {
  return Text.substr(L.Begin, L.BodyEnd - L.Begin);
}

struct LineMeaning {
  LineKind Kind = LineKind::Other;
  std::string_view Name;  // the section or key name, trimmed
};

LineMeaning Classify(std::string_view Line) {
  const std::string_view T = Trim(Line);
  if (T.empty() || IsCommentStart(T.front())) return {};
  if (T.front() == '[') {
    // A header without its closing bracket is kept as an ordinary line.
    const std::size_t Close = T.find(']');
    if (Close == std::string_view::npos) return {};
    return {LineKind::Section, Trim(T.substr(1, Close - 1))};
  }
  const std::size_t Equals = T.find('=');
  if (Equals == std::string_view::npos) return {};
  const std::string_view Name = Trim(T.substr(0, Equals));
  if (Name.empty()) return {};
  return {LineKind::Key, Name};
}

LineMeaning ClassifyAt(std::string_view Text, std::size_t Begin) {
  return Classify(Body(Text, LineAt(Text, Begin)));
}

void CheckTextSize(std::size_t Size) {
  if (Size > ProfileDocument::MaxTextSize) throw std::length_error("profile text too large");
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string Text) {
  CheckTextSize(Text.size());
  ProfileDocument D;
  D.FText = std::move(Text);
  D.BuildIndex();
  return D;
}

void ProfileDocument::BuildIndex() {
  // Counting first sizes the index exactly: growing it by doubling could take twice the memory.
  const auto ForEachEntry = [this](auto&& Visit) {
    for (std::size_t Pos = 0; Pos < FText.size();) {
      const LineSpan L = LineAt(FText, Pos);
      const LineKind Kind = Classify(Body(FText, L)).Kind;
      if (Kind != LineKind::Other)
        Visit(static_cast<uint32_t>(Pos) | (Kind == LineKind::Section ? HeaderBit : 0));
      Pos = L.End;
    }
  };
  std::size_t Count = 0;
  ForEachEntry([&Count](uint32_t) { ++Count; });
  FEntries.clear();
  FEntries.reserve(Count);
  ForEachEntry([this](uint32_t Entry) { FEntries.push_back(Entry); });
}

std::size_t ProfileDocument::FindSection(std::string_view Section) const {
  if (FFoundHeader != NothingFound && SameName(FFoundSection, Section)) return FFoundHeader;
  std::size_t I = 0;
  while (I < FEntries.size() &&
         !(IsHeader(FEntries[I]) &&
           SameName(ClassifyAt(FText, Offset(FEntries[I])).Name, Section)))
    ++I;
  FFoundSection = Section;
  FFoundHeader = I;
  return I;
}

std::size_t ProfileDocument::SectionEnd(std::size_t Header) const {
  std::size_t I = Header + 1;
  while (I < FEntries.size() && !IsHeader(FEntries[I])) ++I;
  return I;
}

std::string ProfileDocument::Get(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
  const std::size_t Header = FindSection(Section);
  if (Header < FEntries.size()) {
    const std::size_t End = SectionEnd(Header);
    for (std::size_t I = Header + 1; I < End; ++I) {
      const std::string_view Line = Body(FText, LineAt(FText, Offset(FEntries[I])));
      if (SameName(Classify(Line).Name, Key)) return DecodeValue(Line.substr(Line.find('=') + 1));
    }
  }
  return std::string(Default.substr(0, ProfileValueLimit));
}

const std::string& ProfileDocument::NewLineEnding() {
  if (FLineEnding.empty()) {
    const std::size_t Newline = FText.find('\n');
    const bool CrLf = Newline != std::string::npos && Newline > 0 && FText[Newline - 1] == '\r';
    FLineEnding = CrLf ? "\r\n" : "\n";
  }
  return FLineEnding;
}

void ProfileDocument::Splice(std::size_t Pos, std::size_t Removed, std::string_view Insert,
                             std::size_t FirstAfter) {
  const std::size_t NewSize = FText.size() - Removed + Insert.size();
  CheckTextSize(NewSize);
  if (NewSize > FText.capacity()) {
    // reserve() on the old string could double its capacity; a fresh one gets exactly this.
    std::string Grown;
    Grown.reserve(NewSize + NewSize / 64 + 256);
    Grown.append(FText, 0, Pos).append(Insert).append(FText, Pos + Removed);
    FText.swap(Grown);
  } else {
    FText.replace(Pos, Removed, Insert);
  }
  const uint32_t Delta = static_cast<uint32_t>(Insert.size() - Removed);  // modulo 2^32
  for (std::size_t I = FirstAfter; I < FEntries.size(); ++I)
    FEntries[I] = ((FEntries[I] + Delta) & ~HeaderBit) | (FEntries[I] & HeaderBit);
}

void ProfileDocument::InsertEntry(std::size_t At, uint32_t Entry) {
  FFoundHeader = NothingFound;
  if (FEntries.size() == FEntries.capacity())
    FEntries.reserve(FEntries.size() + FEntries.size() / 64 + 32);
  FEntries.insert(FEntries.begin() + static_cast<std::ptrdiff_t>(At), Entry);
}

void ProfileDocument::InsertLines(std::size_t At, std::size_t EntryAt, std::string_view HeaderLine,
                                  std::string_view KeyLine) {
  const std::string& Ending = NewLineEnding();
  std::string Added;
  if (At > 0 && FText[At - 1] != '\n') Added = Ending;  // the last line gains the end it lacked
  const std::size_t HeaderAt = At + Added.size();
  if (!HeaderLine.empty()) Added.append(HeaderLine).append(Ending);
  const std::size_t KeyAt = At + Added.size();
  Added.append(KeyLine).append(Ending);
  Splice(At, 0, Added, EntryAt);
  if (!HeaderLine.empty()) InsertEntry(EntryAt++, static_cast<uint32_t>(HeaderAt) | HeaderBit);
  InsertEntry(EntryAt, static_cast<uint32_t>(KeyAt));
}

void ProfileDocument::Set(std::string_view Section, std::string_view Key, std::string_view Value) {
  CheckSection(Section);
  CheckKey(Key);
  const std::string Encoded = EncodeValue(Value);

  const std::size_t Header = FindSection(Section);
  if (Header == FEntries.size()) {
    InsertLines(FText.size(), FEntries.size(), Join("[", Section, "]"), Join(Key, "=", Encoded));
  } else {
    const std::size_t End = SectionEnd(Header);
    std::size_t Last = Header;  // a new key goes after the section's last key line
    std::size_t I = Header + 1;
    for (; I < End; ++I) {
      const LineSpan L = LineAt(FText, Offset(FEntries[I]));
      const std::string_view Name = Classify(Body(FText, L)).Name;
      if (SameName(Name, Key)) {
        Splice(L.Begin, L.BodyEnd - L.Begin, Join(Name, "=", Encoded), I + 1);
        break;
      }
      Last = I;
    }
    if (I == End)
      InsertLines(LineAt(FText, Offset(FEntries[Last])).End, Last + 1, {}, Join(Key, "=", Encoded));
  }
  // New lines went in after the header, so it is still where it was (or where it was added).
  FFoundSection = Section;
  FFoundHeader = Header;
}

// --- File session -------------------------------------------------------------------------------

namespace {

// Reads the whole file. A missing file reads as empty and counts as readable; anything else that
// cannot be read in full reports false. The content is read into a string of its exact size: the
// document keeps that string, so it is the only copy of the file in memory.
bool ReadWholeFile(const std::filesystem::path& Path, std::string& Content) {
  Content.clear();
  std::error_code Error;
  const std::filesystem::file_status Status = std::filesystem::status(Path, Error);
  if (Status.type() == std::filesystem::file_type::not_found) return true;
  if (Error || Status.type() != std::filesystem::file_type::regular) return false;
  const std::uintmax_t Size = std::filesystem::file_size(Path, Error);
  if (Error || Size > ProfileFileSizeLimit) return false;
  std::ifstream In(Path, std::ios::binary);
  if (!In) return false;
  Content.resize(static_cast<std::size_t>(Size));
  In.read(Content.data(), static_cast<std::streamsize>(Size));
  Content.resize(static_cast<std::size_t>(In.gcount()));  // the file may have shrunk meanwhile
  // or grown: what was added since is read too, up to the limit.
  if (Content.size() == Size && In) {
    In.clear();
    Content.append(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  if (In.bad() || Content.size() > ProfileFileSizeLimit) {
    Content.clear();
    return false;
  }
  return true;
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path Path, std::string NameForMessages)
    : FPath(std::move(Path)), FName(std::move(NameForMessages)) {
  if (FName.empty()) FName = FPath.filename().string();
  std::string Content;
  FReadable = ReadWholeFile(FPath, Content);
  if (FReadable) FDocument = ProfileDocument::Parse(std::move(Content));
}

std::string ProfileFile::Read(std::string_view Section, std::string_view Key,
                              std::string_view Default) const {
  return FDocument.Get(Section, Key, Default);
}

void ProfileFile::Write(std::string_view Section, std::string_view Key, std::string_view Value) {
  FDocument.Set(Section, Key, Value);
  FChanged = true;
}

void ProfileFile::Close() {
  if (!FChanged) return;
  // Replacing a file we could not read would throw away whatever it holds.
  if (!FReadable) throw ProfileWriteError(FName, 0);
  const std::error_code Error = ReplaceFileAtomically(FPath, FDocument.Text());
  if (Error) throw ProfileWriteError(FName, Error.value());
  FChanged = false;
}

std::string ReadProfileString(const std::filesystem::path& Path, std::string_view Section,
                              std::string_view Key, std::string_view Default) {
  return ProfileFile(Path).Read(Section, Key, Default);
}

void WriteProfileString(const std::filesystem::path& Path, std::string_view Section,
                        std::string_view Key, std::string_view Value) {
  ProfileFile File(Path);
  File.Write(Section, Key, Value);
  File.Close();
}

}  // namespace quillet
