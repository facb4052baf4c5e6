// The awkward files of the INI tests (names in any case, blanks, repeated sections and keys, CRLF,
// hexadecimal numbers, quotes, missing keys) read alike by the project's INI code and by the
// system's own GetPrivateProfileStringA, key by key.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/profile_file.h"
#include "tests/config/temp_dir.h"

namespace quillet {
namespace {

struct TIniCase {
  const char* Name;
  std::string Content;
};

const TIniCase Cases[] = {
    {"case", "[Config]\nalpha=1\nALPHA=2\n[CONFIG]\nAlpha=3\nSize=4\n[Other]\nSize=5\n"},
    {"blanks and quotes", "[S]\n  a  =  64 \t\nb=\" 64 \"\nc='x'\nd=\"\"q\"\"\ne=\"open\nf=\ng==x=y\n"},
    {"comments", "Alpha=0\n[S]\n;Alpha=1\nAlpha=5\n[T]\nk=6"},
    {"crlf", "[S]\r\nk=7\r\n\r\n[T]\r\nk=8\r\n"},
    {"long value", "[S]\nk=" + std::string(5000, '7') + "\nj=1\n"},
    {"numbers", "[config]\nOBJECTS=5\nsize=1000\nAlpha=0\nThickness=0x7\nSteps=-3\n"},
    {"hex", "[Config]\nAlpha=$40\nSize= 0x40\nObjects=X4f\nSteps=64abc\n"},
    {"switches", "[Blend]\nLines=2\nBars=0\nTriangles=-1\nFillTria=0x10\n[AntiAliasing]\nLines=yes\n"},
    {"repeats", "[Config]\nAlpha=33\nAlpha=44\n[CONFIG]\nAlpha=55\nSize=66\n"},
    {"mixed line ends", "; my settings\r\n[Mine]\r\nx=1\r\n[Config]\r\nAlpha = 0x40\r\nSize=1000\r\n"
                        "extra=keep\r\n\r\n[Blend]\r\nLines=yes\r\n"},
    {"last line without end", "[Config]\r\nAlpha=33\r\nSize=44"},
    {"empty", ""},
    {"saved", "[Config]\nObjects=50\nSize=80\nAlpha=127\nThickness=1\nSteps=10\n"
              "[AntiAliasing]\nLines=1\nBars=0\nTriangles=0\nFillTria=0\nSplineCurve=0\nSplineArea=0\nEllipse=0\n"
              "[Blend]\nLines=0\nBars=1\nTriangles=0\nFillTria=0\nSplineCurve=0\nSplineArea=0\nEllipseDisk=0\n"
              "[Gouraud]\nBars=0\nTriangles=0\n[BlendGouraud]\nBars=0\nTriangles=0\n"},
};

// Every key of the settings file, and the keys the cases above use.
std::vector<std::pair<std::string, std::string>> Queries() {
  std::vector<std::pair<std::string, std::string>> Keys;
  for (const char* Key : {"Objects", "Size", "Alpha", "Thickness", "Steps", "extra", "missing"})
    Keys.emplace_back("Config", Key);
  for (const char* Section : {"AntiAliasing", "Blend"})
    for (const char* Key : {"Lines", "Bars", "Triangles", "FillTria", "SplineCurve", "SplineArea", "Ellipse",
                            "EllipseDisk"})
      Keys.emplace_back(Section, Key);
  for (const char* Section : {"Gouraud", "BlendGouraud"})
    for (const char* Key : {"Bars", "Triangles"}) Keys.emplace_back(Section, Key);
  for (const char* Section : {"config", "CONFIG", "other", "Other", "S", "s", "T", "Mine", "Missing"})
    for (const char* Key : {"alpha", "Alpha", "ALPHA", "size", "SIZE", "a", "b", "c", "d", "e", "f", "g", "j",
                            "k", "K", "x", "missing"})
      Keys.emplace_back(Section, Key);
  return Keys;
}

class IniSemantics : public testing::TempDirTest {};

TEST_F(IniSemantics, TheProjectReadsWhatTheSystemReads) {
  int Index = 0;
  for (const TIniCase& Case : Cases) {
    // A file of its own for every case, so that no cached copy of an earlier one is read.
    const std::filesystem::path Path = Dir / ("case" + std::to_string(Index++) + ".ini");
    WriteFile(Path, Case.Content);
    const ProfileDocument Document = ProfileDocument::Parse(Case.Content);
    const std::string AnsiPath = Path.string();
    for (const auto& [Section, Key] : Queries()) {
      char Buffer[2048] = {};
      const DWORD Length = ::GetPrivateProfileStringA(Section.c_str(), Key.c_str(), "(default)", Buffer,
                                                      sizeof Buffer, AnsiPath.c_str());
      EXPECT_EQ(Document.Get(Section, Key, "(default)"), std::string(Buffer, Length))
          << Case.Name << ": [" << Section << "] " << Key;
    }
  }
}

}  // namespace
}  // namespace quillet
