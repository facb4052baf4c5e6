// Settings files from hostile bytes. A document keeps every byte; its lookups and edits agree with
// a plain line-by-line model of the documented rules; a value that was set reads back; a saved
// document parses to itself; and the settings saved into the file load back as they were.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unistd.h>

#include "config/profile_file.h"
#include "config/settings_file.h"
#include "fuzz_expect.h"

using namespace quillet;
using quillet::fuzz::Expect;

namespace {

std::string Escaped(std::string_view S) {
  std::string Out;
  for (const char C : S) {
    const auto B = static_cast<unsigned char>(C);
    if (B >= 0x20 && B < 0x7F && B != '\\') {
      Out += C;
    } else {
      char Hex[8];
      std::snprintf(Hex, sizeof Hex, "\\x%02X", B);
      Out += Hex;
    }
  }
  return Out;
}

// Aborts showing both texts when they differ.
void ExpectSame(std::string_view Actual, std::string_view Wanted, const char* What) {
  if (Actual == Wanted) return;
  std::fprintf(stderr, "%s\n  got:    \"%s\"\n  wanted: \"%s\"\n", What, Escaped(Actual).c_str(),
               Escaped(Wanted).c_str());
  std::abort();
}

// --- The model: a list of lines, searched and edited the obvious way ----------------------------

std::string_view Trimmed(std::string_view S) {
  const size_t First = S.find_first_not_of(" \t");
  if (First == std::string_view::npos) return {};
  return S.substr(First, S.find_last_not_of(" \t") - First + 1);
}

bool EqualIgnoringAsciiCase(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t I = 0; I < A.size(); ++I) {
    const auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; };
    if (Lower(A[I]) != Lower(B[I])) return false;
  }
  return true;
}

class Model {
 public:
  explicit Model(std::string_view Text) {
    for (size_t Start = 0; Start < Text.size();) {
      const size_t Newline = Text.find('\n', Start);
      Line L;
      if (Newline == std::string_view::npos) {
        L.Body = Text.substr(Start);
        Start = Text.size();
      } else {
        L.Body = Text.substr(Start, Newline - Start);
        L.End = "\n";
        if (!L.Body.empty() && L.Body.back() == '\r') {
          L.Body.pop_back();
          L.End = "\r\n";
        }
        Start = Newline + 1;
      }
      Lines.push_back(L);
    }
  }

  std::string Get(std::string_view Section, std::string_view Key, std::string_view Default) const {
    const size_t Header = FindSection(Section);
    for (size_t I = Header + 1; I < Lines.size() && !SectionName(Lines[I]); ++I) {
      const std::optional<std::string_view> Name = KeyName(Lines[I]);
      if (!Name || !EqualIgnoringAsciiCase(*Name, Key)) continue;
      const std::string_view Body = Lines[I].Body;
      std::string_view Value = Trimmed(Body.substr(Body.find('=') + 1));
      if (Quoted(Value)) Value = Value.substr(1, Value.size() - 2);
      return std::string(Value.substr(0, ProfileValueLimit));
    }
    return std::string(Default.substr(0, ProfileValueLimit));
  }

  // For names and values that the document accepted.
  void Set(std::string_view Section, std::string_view Key, std::string_view Value) {
    std::string Stored(Value);
    if (Trimmed(Value) != Value || Quoted(Value)) Stored = "\"" + Stored + "\"";
    const size_t Header = FindSection(Section);
    if (Header == Lines.size()) {
      Insert(Lines.size(), "[" + std::string(Section) + "]");
      Insert(Lines.size(), std::string(Key) + "=" + Stored);
      return;
    }
    size_t After = Header + 1;
    for (size_t I = Header + 1; I < Lines.size() && !SectionName(Lines[I]); ++I) {
      const std::optional<std::string_view> Name = KeyName(Lines[I]);
      if (!Name) continue;
      if (EqualIgnoringAsciiCase(*Name, Key)) {
        Lines[I].Body = std::string(*Name) + "=" + Stored;
        return;
      }
      After = I + 1;
    }
    Insert(After, std::string(Key) + "=" + Stored);
  }

  std::string Text() const {
    std::string Out;
    for (const Line& L : Lines) Out += L.Body + L.End;
    return Out;
  }

  // The names the text holds, so that lookups and edits can aim at them.
  std::vector<std::string> Names() const {
    std::vector<std::string> Out;
    for (const Line& L : Lines) {
      if (const auto Name = SectionName(L)) Out.emplace_back(*Name);
      if (const auto Name = KeyName(L)) Out.emplace_back(*Name);
    }
    return Out;
  }

 private:
  struct Line {
    std::string Body, End;
  };

  static bool Ignored(std::string_view T) { return T.empty() || T[0] == ';' || T[0] == '#'; }

  static bool Quoted(std::string_view V) {
    return V.size() >= 2 && (V[0] == '"' || V[0] == '\'') && V.back() == V[0];
  }

  static std::optional<std::string_view> SectionName(const Line& L) {
    const std::string_view T = Trimmed(L.Body);
    if (Ignored(T) || T[0] != '[' || T.find(']') == std::string_view::npos) return std::nullopt;
    return Trimmed(T.substr(1, T.find(']') - 1));
  }

  static std::optional<std::string_view> KeyName(const Line& L) {
    const std::string_view T = Trimmed(L.Body);
    if (Ignored(T) || T[0] == '[' || T.find('=') == std::string_view::npos) return std::nullopt;
    const std::string_view Name = Trimmed(T.substr(0, T.find('=')));
    if (Name.empty()) return std::nullopt;
    return Name;
  }

  size_t FindSection(std::string_view Section) const {
    size_t I = 0;
    for (; I < Lines.size(); ++I) {
      const std::optional<std::string_view> Name = SectionName(Lines[I]);
      if (Name && EqualIgnoringAsciiCase(*Name, Section)) break;
    }
    return I;
  }

  void Insert(size_t At, std::string Body) {
    // The text's first line end, as it was before any line was added.
    if (NewEnd.empty()) {
      NewEnd = "\n";
      for (const Line& L : Lines)
        if (!L.End.empty()) {
          NewEnd = L.End;
          break;
        }
    }
    const std::string& End = NewEnd;
    if (At > 0 && Lines[At - 1].End.empty()) {
      Line& Last = Lines[At - 1];
      Last.End = End;
      // A carriage return that ended the text now stands before a line feed: one line end.
      if (End == "\n" && !Last.Body.empty() && Last.Body.back() == '\r') {
        Last.Body.pop_back();
        Last.End = "\r\n";
      }
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(At), Line{std::move(Body), End});
  }

  std::vector<Line> Lines;
  std::string NewEnd;
};

// --- Inputs -------------------------------------------------------------------------------------

std::string AnyName(FuzzedDataProvider& In, const std::vector<std::string>& Known) {
  if (!Known.empty() && In.ConsumeBool()) {
    std::string Name = Known[In.ConsumeIntegralInRange<size_t>(0, Known.size() - 1)];
    for (char& C : Name)
      if (In.ConsumeBool() && ((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'))) C ^= 0x20;
    return Name;
  }
  return In.ConsumeRandomLengthString(24);
}

std::string AnyValue(FuzzedDataProvider& In) {
  // Now and then one about as long as a value may be read.
  if (In.ConsumeIntegralInRange(0, 15) == 0)
    return std::string(In.ConsumeIntegralInRange(2040, 2060), 'v');
  return In.ConsumeRandomLengthString(40);
}

// A file of this process on a memory file system where there is one: saves flush to disk.
const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path Path = [] {
    const std::filesystem::path Dir = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    return Dir / ("quillet-ini-fuzz-" + std::to_string(::getpid()) + ".ini");
  }();
  return Path;
}

void RemoveScratchFile() {
  std::error_code Ignored;
  std::filesystem::remove(ScratchFile(), Ignored);
}

std::string ReadScratchFile() {
  std::ifstream File(ScratchFile(), std::ios::binary);
  return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

// The settings through the file: what a save writes loads back unchanged, and the file holds the
// old text edited as the model edits it.
void CheckSettingsFile(const std::string& Text) {
  { std::ofstream(ScratchFile(), std::ios::binary) << Text; }
  DemoSettings Loaded;
  LoadSettings(Loaded, ScratchFile());
  SaveSettings(Loaded, ScratchFile());
  DemoSettings Reloaded;
  LoadSettings(Reloaded, ScratchFile());
  Expect(Loaded == Reloaded, "saved settings load back differently");

  // A save writes every key, in this order, and nothing else.
  Model Expected(Text);
  const auto Number = [&Expected](const char* Key, int32_t Value) {
    Expected.Set("Config", Key, std::to_string(Value));
  };
  Number("Objects", Loaded.Objects());
  Number("Size", Loaded.Size());
  Number("Alpha", Loaded.Alpha());
  Number("Thickness", Loaded.Thickness());
  Number("Steps", Loaded.Steps());
  using Keys = std::initializer_list<std::pair<const char*, bool>>;
  const auto Switches = [&Expected](const char* Section, Keys Switches) {
    for (const auto& [Key, On] : Switches) Expected.Set(Section, Key, On ? "1" : "0");
  };
  const DemoSettings& L = Loaded;
  Switches("AntiAliasing", {{"Lines", L.iLines}, {"Bars", L.iBars}, {"Triangles", L.iTriangles},
                            {"FillTria", L.iFillTria}, {"SplineCurve", L.iSplineCurve},
                            {"SplineArea", L.iSplineArea}, {"Ellipse", L.iEllipse}});
  Switches("Blend", {{"Lines", L.bLines}, {"Bars", L.bBars}, {"Triangles", L.bTriangles},
                     {"FillTria", L.bFillTria}, {"SplineCurve", L.bSplineCurve},
                     {"SplineArea", L.bSplineArea}, {"EllipseDisk", L.bEllipseDisk}});
  Switches("Gouraud", {{"Bars", L.gBars}, {"Triangles", L.gTriangles}});
  Switches("BlendGouraud", {{"Bars", L.bgBars}, {"Triangles", L.bgTriangles}});
  ExpectSame(ReadScratchFile(), Expected.Text(), "the save changed more than its keys");
  // Removed after every input: libFuzzer may end the process without running exit handlers.
  RemoveScratchFile();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  FuzzedDataProvider In(Data, Size);
  const std::string Text = In.ConsumeRandomLengthString(Size);
  ProfileDocument Document = ProfileDocument::Parse(Text);
  Model Expected(Text);
  ExpectSame(Document.Serialize(), Text, "parsing changed the text");
  const std::vector<std::string> Names = Expected.Names();

  while (In.remaining_bytes() > 0) {
    const std::string Section = AnyName(In, Names), Key = AnyName(In, Names);
    if (In.ConsumeBool()) {
      const std::string Default = AnyValue(In);
      ExpectSame(Document.Get(Section, Key, Default), Expected.Get(Section, Key, Default),
                 "a lookup differs from the model");
      continue;
    }
    const std::string Value = AnyValue(In);
    const std::string Before(Document.Text());
    try {
      Document.Set(Section, Key, Value);
    } catch (const std::invalid_argument&) {
      ExpectSame(Document.Text(), Before, "a refused edit changed the text");
      continue;
    }
    Expected.Set(Section, Key, Value);
    ExpectSame(Document.Get(Section, Key, ""), Value.substr(0, ProfileValueLimit),
               "a value set does not read back");
    ExpectSame(Document.Text(), Expected.Text(), "an edit differs from the model");
  }
  const std::string Final(Document.Text());
  ExpectSame(ProfileDocument::Parse(Final).Serialize(), Final, "a saved document parses differently");
  CheckSettingsFile(Text);
  return 0;
}
