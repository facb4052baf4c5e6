// Loading and saving the settings: number conversion, defaults, clamping, layout, hostile files,
// and saves that the process does not live to finish.
#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <random>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/os_posix/temporary_file_guard.h"
#endif
#include "temp_dir.h"

namespace quillet {
namespace {

std::optional<int32_t> Parse(std::string_view Text) {
  int32_t V = 0;
  if (!ParseStoredInteger(Text, V)) return std::nullopt;
  return V;
}

TEST(StoredInteger, AcceptsDecimalAndTheHexForms) {
  EXPECT_EQ(Parse("64"), 64);
  EXPECT_EQ(Parse("  64"), 64);
  EXPECT_EQ(Parse("+64"), 64);
  EXPECT_EQ(Parse("-3"), -3);
  EXPECT_EQ(Parse("0064"), 64);
  EXPECT_EQ(Parse("0x40"), 64);
  EXPECT_EQ(Parse("0X40"), 64);
  EXPECT_EQ(Parse("$40"), 64);
  EXPECT_EQ(Parse("x40"), 64);
  EXPECT_EQ(Parse("X4f"), 79);
  EXPECT_EQ(Parse("0"), 0);
  EXPECT_EQ(Parse("2147483647"), 2147483647);
  EXPECT_EQ(Parse("-2147483648"), INT32_MIN);
  EXPECT_EQ(Parse("$7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(Parse("0xFFFFFFFF"), -1);  // a 32-bit pattern
  EXPECT_EQ(Parse("$000000000010"), 16);
}

TEST(StoredInteger, RejectsEverythingElse) {
  for (const char* Text : {"", " ", "64abc", "64 ", "6 4", "yes", "+", "-", "$", "x", "0x", "0X",
                           "-$10", "$-10", "+0x10", "$G", "2147483648", "-2147483649", "$100000000",
                           "99999999999999999999", " 0x40", "\t", "1e3", "6\x80"})
    EXPECT_EQ(Parse(Text), std::nullopt) << '"' << Text << '"';
}

void ExpectDefaults(const DemoSettings& S) {
  EXPECT_EQ(S.Objects(), 50);
  EXPECT_EQ(S.Size(), 80);
  EXPECT_EQ(S.Alpha(), 127);
  EXPECT_EQ(S.Thickness(), 1);
  EXPECT_EQ(S.Steps(), 10);
  const DemoSettings Fresh;
  const bool DemoSettings::*Switches[] = {
      &DemoSettings::iLines,       &DemoSettings::iBars,       &DemoSettings::iTriangles,
      &DemoSettings::iFillTria,    &DemoSettings::iSplineCurve, &DemoSettings::iSplineArea,
      &DemoSettings::iEllipse,     &DemoSettings::bLines,      &DemoSettings::bBars,
      &DemoSettings::bTriangles,   &DemoSettings::bFillTria,   &DemoSettings::bSplineCurve,
      &DemoSettings::bSplineArea,  &DemoSettings::bEllipseDisk, &DemoSettings::gBars,
      &DemoSettings::gTriangles,   &DemoSettings::bgBars,      &DemoSettings::bgTriangles};
  int On = 0;
  for (auto Field : Switches) On += S.*Field;
  EXPECT_EQ(On, 2);
  EXPECT_TRUE(S.iLines);
  EXPECT_TRUE(S.bBars);
}

// A record with every value away from its default, to see that a load sets every field.
DemoSettings Scrambled() {
  DemoSettings S;
  S.SetObjects(999);
  S.SetSize(11);
  S.SetAlpha(3);
  S.SetThickness(9);
  S.SetSteps(16);
  S.iLines = false;
  S.bBars = false;
  S.iEllipse = S.bTriangles = S.gTriangles = S.bgBars = true;
  return S;
}

class SettingsFileTest : public testing::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Path = Dir / SettingsFileName;
  }
  DemoSettings LoadFrom(std::string_view Content) {
    WriteFile(Path, Content);
    DemoSettings S = Scrambled();
    LoadSettings(S, Path);
    return S;
  }
  std::filesystem::path Path;
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  DemoSettings S = Scrambled();
  LoadSettings(S, Path);
  ExpectDefaults(S);
  EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(SettingsFileTest, NumbersAreClampedAndHexAccepted) {
  const DemoSettings S = LoadFrom("[config]\nOBJECTS=5\nsize=1000\nAlpha=0\nThickness=0x7\nSteps=-3\n");
  EXPECT_EQ(S.Objects(), 10);
  EXPECT_EQ(S.Size(), 100);
  EXPECT_EQ(S.Alpha(), 1);
  EXPECT_EQ(S.Thickness(), 7);
  EXPECT_EQ(S.Steps(), 1);
  EXPECT_EQ(LoadFrom("[Config]\nAlpha=0x40\n").Alpha(), 64);
  EXPECT_EQ(LoadFrom("[Config]\nAlpha=$40\n").Alpha(), 64);
  EXPECT_EQ(LoadFrom("[Config]\nAlpha= 64\n").Alpha(), 64);
  EXPECT_EQ(LoadFrom("[Config]\nAlpha=64abc\n").Alpha(), 127);
  EXPECT_EQ(LoadFrom("[Config]\nAlpha=99999999999\n").Alpha(), 127);
}

TEST_F(SettingsFileTest, SwitchesAreNumbersAndNonZeroIsOn) {
  DemoSettings S = LoadFrom("[Blend]\nLines=2\nBars=0\nTriangles=-1\nFillTria=0x10\n[AntiAliasing]\nLines=0\n");
  EXPECT_TRUE(S.bLines);
  EXPECT_FALSE(S.bBars);
  EXPECT_TRUE(S.bTriangles);
  EXPECT_TRUE(S.bFillTria);
  EXPECT_FALSE(S.iLines);
  S = LoadFrom("[Blend]\nLines=yes\nBars=no\n[AntiAliasing]\nLines=yes\n");
  EXPECT_FALSE(S.bLines);
  EXPECT_TRUE(S.bBars);
  EXPECT_TRUE(S.iLines);
}

TEST_F(SettingsFileTest, HostileFilesGiveDefaultsOrTheRuleValues) {
  ExpectDefaults(LoadFrom(std::string("\0\xff\xfe[\x01]\n=\n[[[\n\r\r\n", 14)));
  ExpectDefaults(LoadFrom("[Config]\nAlpha\nSize 40\n=9\nObjects:70\n"));
  ExpectDefaults(LoadFrom("[Config]\nAlpha=" + std::string(1 << 20, '6') + "\n"));
  ExpectDefaults(LoadFrom(""));
  EXPECT_EQ(LoadFrom(std::string(1 << 20, 'z') + "\n[Config]\nAlpha=33").Alpha(), 33);
  EXPECT_EQ(LoadFrom("[Config]\r\nAlpha=33\r\nSize=44\r\n").Size(), 44);
  const DemoSettings Dup = LoadFrom("[Config]\nAlpha=33\nAlpha=44\n[CONFIG]\nAlpha=55\nSize=66\n");
  EXPECT_EQ(Dup.Alpha(), 33);
  EXPECT_EQ(Dup.Size(), 80);
}

TEST_F(SettingsFileTest, SaveWritesAll23KeysInOrder) {
  SaveSettings(DemoSettings(), Path);
  EXPECT_EQ(ReadFile(Path),
            "[Config]\nObjects=50\nSize=80\nAlpha=127\nThickness=1\nSteps=10\n"
            "[AntiAliasing]\nLines=1\nBars=0\nTriangles=0\nFillTria=0\nSplineCurve=0\nSplineArea=0\nEllipse=0\n"
            "[Blend]\nLines=0\nBars=1\nTriangles=0\nFillTria=0\nSplineCurve=0\nSplineArea=0\nEllipseDisk=0\n"
            "[Gouraud]\nBars=0\nTriangles=0\n"
            "[BlendGouraud]\nBars=0\nTriangles=0\n");
}

TEST_F(SettingsFileTest, SaveRewritesOurKeysAndKeepsTheRest) {
  DemoSettings S = LoadFrom(
      "; my settings\r\n[Mine]\r\nx=1\r\n[Config]\r\nAlpha = 0x40\r\nSize=1000\r\nextra=keep\r\n"
      "\r\n[Blend]\r\nLines=yes\r\n");
  EXPECT_EQ(S.Size(), 100);
  SaveSettings(S, Path);
  const std::string Text = ReadFile(Path);
  const std::string Head =
      "; my settings\r\n[Mine]\r\nx=1\r\n[Config]\r\nAlpha=64\r\nSize=100\r\nextra=keep\r\n"
      "Objects=50\r\nThickness=1\r\nSteps=10\r\n\r\n[Blend]\r\nLines=0\r\nBars=1\r\n";
  EXPECT_EQ(Text.substr(0, Head.size()), Head);
  EXPECT_NE(Text.find("[Blend]\r\nLines=0\r\nBars=1\r\n"), std::string::npos);
  DemoSettings Again = Scrambled();
  LoadSettings(Again, Path);
  EXPECT_EQ(Again.Alpha(), 64);
  EXPECT_EQ(Again.Size(), 100);
}

TEST_F(SettingsFileTest, SaveThenLoadGivesBackTheSameSettingsOverAnyFile) {
  std::mt19937 Random(7);
  const std::string Pieces[] = {"[Config]", "[config]", "[Blend]", "[Gouraud", "Alpha=",  "alpha",  "=",
                                "\r",       "\n",       "\r\n",    " ",        "\t",      "\"",     "'",
                                "0x",       "$",        "-",       "9",        ";",       "]",      "Lines=1",
                                "Size=40",  "\x80\xff", std::string(1, '\0')};
  for (int Round = 0; Round < 300; ++Round) {
    std::string Content;
    const int Count = static_cast<int>(Random() % 60);
    for (int I = 0; I < Count; ++I) Content += Pieces[Random() % std::size(Pieces)];
    DemoSettings Loaded = LoadFrom(Content);
    EXPECT_GE(Loaded.Alpha(), 1);
    EXPECT_LE(Loaded.Alpha(), 255);

    DemoSettings Saved = Scrambled();
    Saved.SetAlpha(static_cast<int32_t>(1 + Random() % 255));
    Saved.bLines = Random() % 2;
    SaveSettings(Saved, Path);
    DemoSettings Back;
    LoadSettings(Back, Path);
    ASSERT_EQ(Back.Alpha(), Saved.Alpha()) << Content;
    ASSERT_EQ(Back.Objects(), Saved.Objects()) << Content;
    ASSERT_EQ(Back.bLines, Saved.bLines) << Content;
    ASSERT_EQ(Back.bgBars, Saved.bgBars) << Content;
  }
}

TEST_F(SettingsFileTest, RefusedSaveNamesTheFileAndChangesNothing) {
  std::filesystem::create_directory(Path);
  try {
    SaveSettings(DemoSettings(), Path);
    FAIL() << "no error";
  } catch (const ProfileWriteError& E) {
    EXPECT_STREQ(E.what(), "In QUILLET.INI kann nicht geschrieben werden");
  }
  EXPECT_TRUE(std::filesystem::is_empty(Path));
  EXPECT_EQ(EntryCount(), 1u);
}

#ifndef _WIN32  // file size limits, signals and process ids of POSIX (see platform_tests on Windows)
// The exit status of a child process that runs Body and then exits with Body's result.
template <class Body>
int InChild(Body&& Run) {
  const pid_t Child = ::fork();
  if (Child == 0) ::_exit(Run());
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  return Status;
}

TEST_F(SettingsFileTest, ASaveThatMeetsTheFileSizeLimitFailsAndLeavesNoTemporaryFile) {
  SaveSettings(DemoSettings(), Path);
  const std::string Before = ReadFile(Path);
  const int Status = InChild([&] {
    const rlimit Limit{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &Limit);
    try {
      SaveSettings(DemoSettings(), Path);
    } catch (const ProfileWriteError& E) {
      return E.SystemError() == EFBIG ? 0 : 2;
    }
    return 1;
  });
  ASSERT_TRUE(WIFEXITED(Status)) << "ended by signal " << WTERMSIG(Status);
  EXPECT_EQ(WEXITSTATUS(Status), 0);
  EXPECT_EQ(ReadFile(Path), Before);
  EXPECT_EQ(EntryCount(), 1u);
}

volatile std::sig_atomic_t HandledSignal = 0;
extern "C" void NoteSignal(int Signal) { HandledSignal = Signal; }

TEST_F(SettingsFileTest, ASignalThatEndsTheProcessRemovesTheGuardedTemporaryFile) {
  const std::filesystem::path Temporary = Dir / ".QUILLET.INI.tmp-1-0";
  const auto WriteGuardedThenSignal = [&] {
    TTemporaryFileGuard Guard;
    WriteFile(Temporary, "half a save");
    Guard.Created(Temporary.string());
    ::raise(SIGTERM);
    return HandledSignal == SIGTERM ? 0 : 1;
  };
  int Status = InChild(WriteGuardedThenSignal);
  EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGTERM) << Status;
  EXPECT_FALSE(std::filesystem::exists(Temporary));

  // A signal that the program handles keeps its handling, and the file is the save's to finish.
  Status = InChild([&] {
    ::signal(SIGTERM, NoteSignal);
    return WriteGuardedThenSignal();
  });
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
  EXPECT_TRUE(std::filesystem::exists(Temporary));
}

TEST_F(SettingsFileTest, ASaveRemovesTheTemporaryFilesThatEndedProcessesLeft) {
  const pid_t Ended = ::fork();
  if (Ended == 0) ::_exit(0);
  ::waitpid(Ended, nullptr, 0);
  const auto Named = [&](const std::string& Name) { return Dir / Name; };
  const std::string Own = ".QUILLET.INI.tmp-";
  const auto Abandoned = Named(Own + std::to_string(Ended) + "-0");
  const auto Recent = Named(Own + std::to_string(Ended) + "-1");
  const auto Running = Named(Own + std::to_string(::getppid()) + "-0");
  const auto OtherName = Named(Own + "x" + std::to_string(Ended) + "-0");
  const auto OtherTarget = Named(".OTHER.INI.tmp-" + std::to_string(Ended) + "-0");
  const auto HourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const auto& P : {Abandoned, Recent, Running, OtherName, OtherTarget}) {
    WriteFile(P, "left over");
    if (P != Recent) std::filesystem::last_write_time(P, HourAgo);
  }
  SaveSettings(DemoSettings(), Path);
  EXPECT_FALSE(std::filesystem::exists(Abandoned));
  // A file still being written may belong to a process in another pid namespace.
  EXPECT_TRUE(std::filesystem::exists(Recent));
  for (const auto& P : {Running, OtherName, OtherTarget}) EXPECT_TRUE(std::filesystem::exists(P)) << P;
}

#endif

}  // namespace
}  // namespace quillet
