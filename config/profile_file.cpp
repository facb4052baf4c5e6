// Profile (INI) documents and file sessions.
#include "profile_file.h"

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

ProfileDocument::Line ProfileDocument::Classify(std::string Text, std::string Ending) {
  Line L{std::move(Text), std::move(Ending), LineKind::Other, {}};
  const std::string_view T = Trim(L.Text);
  if (T.empty() || IsCommentStart(T.front())) return L;
  if (T.front() == '[') {
    // A header without its closing bracket is kept as an ordinary line.
    const std::size_t Close = T.find(']');
    if (Close != std::string_view::npos) {
      L.Kind = LineKind::Section;
      L.Name = Trim(T.substr(1, Close - 1));
    }
    return L;
  }
  const std::size_t Equals = T.find('=');
  if (Equals == std::string_view::npos) return L;
  const std::string_view Name = Trim(T.substr(0, Equals));
  if (Name.empty()) return L;
  L.Kind = LineKind::Key;
  L.Name = Name;
  return L;
}

ProfileDocument ProfileDocument::Parse(std::string_view Text) {
  ProfileDocument D;
  while (!Text.empty()) {
    const std::size_t End = Text.find('\n');
    std::string_view Body = Text.substr(0, End);
    std::string_view Ending;
    if (End == std::string_view::npos) {
      Text = {};
    } else {
      Text.remove_prefix(End + 1);
      Ending = "\n";
      if (!Body.empty() && Body.back() == '\r') {
        Body.remove_suffix(1);
        Ending = "\r\n";
      }
    }
    D.Lines.push_back(Classify(std::string(Body), std::string(Ending)));
  }
  return D;
}

std::size_t ProfileDocument::FindSection(std::string_view Section) const {
  for (std::size_t I = 0; I < Lines.size(); ++I)
    if (Lines[I].Kind == LineKind::Section && SameName(Lines[I].Name, Section)) return I;
  return Lines.size();
}

std::size_t ProfileDocument::SectionEnd(std::size_t Header) const {
  std::size_t I = Header + 1;
  while (I < Lines.size() && Lines[I].Kind != LineKind::Section) ++I;
  return I;
}

std::string ProfileDocument::Get(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
  const std::size_t Header = FindSection(Section);
  if (Header < Lines.size()) {
    const std::size_t End = SectionEnd(Header);
    for (std::size_t I = Header + 1; I < End; ++I) {
      const Line& L = Lines[I];
      if (L.Kind == LineKind::Key && SameName(L.Name, Key))
        return DecodeValue(std::string_view(L.Text).substr(L.Text.find('=') + 1));
    }
  }
  return std::string(Default.substr(0, ProfileValueLimit));
}

std::string ProfileDocument::NewLineEnding() const {
  for (const Line& L : Lines)
    if (!L.Ending.empty()) return L.Ending;
  return "\n";
}

void ProfileDocument::InsertLine(std::size_t At, std::string Text) {
  const std::string Ending = NewLineEnding();
  // The line before gains the end it lacked when it was the file's last.
  if (At > 0 && Lines[At - 1].Ending.empty()) Lines[At - 1].Ending = Ending;
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(At), Classify(std::move(Text), Ending));
}

void ProfileDocument::Set(std::string_view Section, std::string_view Key, std::string_view Value) {
  CheckSection(Section);
  CheckKey(Key);
  const std::string Encoded = EncodeValue(Value);

  const std::size_t Header = FindSection(Section);
  if (Header == Lines.size()) {
    InsertLine(Lines.size(), Join("[", Section, "]"));
    InsertLine(Lines.size(), Join(Key, "=", Encoded));
    return;
  }
  const std::size_t End = SectionEnd(Header);
  std::size_t After = Header + 1;  // where a new key goes: after the section's last key line
  for (std::size_t I = Header + 1; I < End; ++I) {
    Line& L = Lines[I];
    if (L.Kind != LineKind::Key) continue;
    if (SameName(L.Name, Key)) {
      L.Text = Join(L.Name, "=", Encoded);
      return;
    }
    After = I + 1;
  }
  InsertLine(After, Join(Key, "=", Encoded));
}

std::string ProfileDocument::Serialize() const {
  std::string Out;
  for (const Line& L : Lines) {
    Out += L.Text;
    Out += L.Ending;
  }
  return Out;
}

// --- File session -------------------------------------------------------------------------------

namespace {

// Reads the whole file. A missing file reads as empty and counts as readable; anything else that
// cannot be read in full reports false.
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
  Content.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
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
  if (FReadable) FDocument = ProfileDocument::Parse(Content);
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
  const std::error_code Error = ReplaceFileAtomically(FPath, FDocument.Serialize());
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
