// The error box's exits, the audio probe's check and the single-instance mutex.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui_qt_x11/message_box.h"
#include "shell/error_box.h"
#include "shell/instance_mutex.h"
#include "shell/runtime_state.h"
#include "shell/sys_util.h"
#include "shell/wave_out.h"
#include <filesystem>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/config/temp_dir.h"

namespace quillet {
namespace {

// A fresh directory, removed at the end of the scope.
struct TempDir {
  TempDir() : Dir(testing::MakeTempDirectory("quillet-shell-")) {}
  ~TempDir() {
    std::error_code Ignored;
    std::filesystem::remove_all(Dir, Ignored);
  }
  const std::filesystem::path& Path() const { return Dir; }
  std::filesystem::path Dir;
};

// Records what the error box did; the process end throws so that the test sees it.
struct ProcessEnded {
  int Code;
};

class ErrorBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TErrorBoxHooks Hooks;
    Hooks.ShowBox = [this](std::string_view Text, std::string_view Caption, uint32_t Flags) {
      Shown.push_back({std::string(Caption), std::string(Text), Flags});
      return Answer;
    };
    Hooks.SetClipboard = [this](std::string_view Text) { Clipboard = std::string(Text); };
    Hooks.EndProcess = [](int Code) { throw ProcessEnded{Code}; };
    SetErrorBoxHooks(Hooks);
    SetTickSource([this] { return Now; });
  }
  void TearDown() override {
    SetErrorBoxHooks({});
    SetTickSource({});
  }

  int EndCodeOf(const std::function<void()>& Action) {
    try {
      Action();
    } catch (const ProcessEnded& E) {
      return E.Code;
    }
    return -1;
  }

  struct Box {
    std::string Caption, Text;
    uint32_t Flags;
  };
  std::vector<Box> Shown;
  std::string Clipboard;
  int Answer = IDOK;
  uint32_t Now = 5000;
};

TEST_F(ErrorBoxTest, AbortAndCancelCopyTheTextAndEndWith255) {
  for (const int Button : {IDABORT, IDCANCEL}) {
    Answer = Button;
    Clipboard.clear();
    EXPECT_EQ(EndCodeOf([] { ErrorBox("cap", "the text", MB_OKCANCEL); }), 255);
    EXPECT_EQ(Clipboard, "the text");
  }
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[0].Flags, MB_OKCANCEL | MB_ICONHAND);
  EXPECT_EQ(Shown[0].Caption, "cap");
}

TEST_F(ErrorBoxTest, ABoxThatCannotBeShownEndsWith225WithoutTouchingTheClipboard) {
  Answer = 0;
  EXPECT_EQ(EndCodeOf([] { ErrorBox("c", "t", MB_OK); }), 225);
  EXPECT_EQ(Clipboard, "");
  SetErrorBoxHooks({.ShowBox = {}, .SetClipboard = {},
                    .EndProcess = [](int Code) { throw ProcessEnded{Code}; }});
  EXPECT_EQ(EndCodeOf([] { ErrorBox("c", "t", MB_OK); }), 225);
}

TEST_F(ErrorBoxTest, OtherButtonsReturnAndRestartTheClock) {
  StartTiming();
  Now += 700;  // time spent in the box
  for (const int Button : {IDOK, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    Answer = Button;
    EXPECT_EQ(ErrorBox("c", "t", MB_ABORTRETRYIGNORE), Button);
    EXPECT_EQ(ElapsedMs(), 1u);
  }
  EXPECT_EQ(Clipboard, "");
}

TEST_F(ErrorBoxTest, CheckMmResultShowsTheCodesTextWithAbortRetryIgnore) {
  TWaveOutApi Api;
  Api.GetErrorText = [](uint32_t Code) { return "error " + std::to_string(Code); };
  CheckMmResult(0, "X", Api);
  EXPECT_TRUE(Shown.empty());

  Answer = IDIGNORE;
  CheckMmResult(2, "WaveOutGetDevCaps", Api);
  Answer = IDRETRY;
  CheckMmResult(2, "WaveOutGetDevCaps", Api);
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[0].Caption, "SysUtil2: MMSystem.WaveOutGetDevCaps");
  EXPECT_EQ(Shown[0].Text, "error 2");
  EXPECT_EQ(Shown[0].Flags, 258u | MB_ICONHAND);

  Answer = IDABORT;
  EXPECT_EQ(EndCodeOf([&] { CheckMmResult(7, "N", Api); }), 255);
  EXPECT_EQ(Clipboard, "error 7");

  Api.GetErrorText = [](uint32_t) { return std::string(400, 'e'); };
  Answer = IDIGNORE;
  CheckMmResult(1, "N", Api);
  EXPECT_EQ(Shown.back().Text.size(), 255u);
}

// A fake sound layer: Count devices, queries answered with Codes per device.
TWaveOutApi FakeDevices(uint32_t Count, std::vector<uint32_t> Codes, std::vector<uint32_t>* Asked) {
  TWaveOutApi Api;
  Api.GetNumDevs = [Count] { return Count; };
  Api.GetDevCaps = [Codes, Asked](uint32_t Device, TWaveOutCaps& Caps) {
    Asked->push_back(Device);
    Caps.Name = "dev" + std::to_string(Device);
    return Device < Codes.size() ? Codes[Device] : 0u;
  };
  Api.GetErrorText = &WaveOutErrorText;
  return Api;
}

TEST_F(ErrorBoxTest, ProbeQueriesAtMostTwoDevicesAndChecksOnlyTheLastCode) {
  std::vector<uint32_t> Asked;
  TWaveOutProbe P = ProbeWaveOut(FakeDevices(0, {}, &Asked));
  EXPECT_FALSE(P.HasWaveOut);
  EXPECT_TRUE(Asked.empty());
  EXPECT_TRUE(Shown.empty());

  P = ProbeWaveOut(FakeDevices(5, {}, &Asked));
  EXPECT_EQ(P.WaveOutDeviceCount, 5);
  EXPECT_TRUE(P.HasWaveOut);
  EXPECT_EQ(Asked, (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(P.WaveOutCaps[1].Name, "dev1");
  EXPECT_TRUE(Shown.empty());

  // A failed first query is hidden by a good second one.
  Asked.clear();
  ProbeWaveOut(FakeDevices(2, {MMSYSERR_ERROR, 0}, &Asked));
  EXPECT_TRUE(Shown.empty());

  Answer = IDIGNORE;
  ProbeWaveOut(FakeDevices(1, {MMSYSERR_BADDEVICEID}, &Asked));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Caption, "SysUtil2: MMSystem.WaveOutGetDevCaps");
  EXPECT_EQ(Shown[0].Text, WaveOutErrorText(MMSYSERR_BADDEVICEID));
}

TEST(SystemWaveOut, ReadsTheListingAgainForEachQuery) {
  TempDir Dir;
  const std::string Path = (Dir.Path() / "pcm").string();
  const TWaveOutApi Missing = SystemWaveOut(Path);
  EXPECT_EQ(Missing.GetNumDevs(), 0u);

  {
    std::FILE* F = std::fopen(Path.c_str(), "w");
    std::fputs("00-00: ALC : Speakers : playback 1 : capture 1\n01-00: Mic : Mic : capture 1\n"
               "02-03: HDMI : Screen : playback 1\n", F);
    std::fclose(F);
  }
  const TWaveOutApi Api = SystemWaveOut(Path);
  EXPECT_EQ(Api.GetNumDevs(), 2u);
  TWaveOutCaps Caps;
  EXPECT_EQ(Api.GetDevCaps(1, Caps), MMSYSERR_NOERROR);
  EXPECT_EQ(Caps.Name, "Screen");
  std::remove(Path.c_str());
  EXPECT_EQ(Api.GetDevCaps(0, Caps), MMSYSERR_BADDEVICEID);
}

TEST(RuntimeStartup, RecordsFactsAndStartsTheClock) {
  uint32_t Now = 123;
  SetTickSource([&Now] { return Now; });
  TStartupServices Services;
  Services.ProgramBaseName = [] { return std::string("quillet"); };
  Services.ReadDisplayInfo = [] { return TDisplayInfo{1920, 1080}; };
  Services.WaveOut.GetNumDevs = [] { return 0u; };
  RuntimeStartup(Services);
  EXPECT_EQ(Runtime().ProgramBaseName, "quillet");
  EXPECT_EQ(Runtime().DisplayInfo.Width, 1920);
  EXPECT_EQ(Runtime().DisplayInfo.Height, 1080);
  EXPECT_FALSE(Runtime().WaveOut.HasWaveOut);
  EXPECT_EQ(TimingStart(), 123u);
  SetTickSource({});
}

#ifndef _WIN32  // platform_tests checks the Windows mutex across processes
// Whether a fresh process finds Name already taken.
bool TakenInAnotherProcess(const std::string& Name) {
  const pid_t Child = ::fork();
  if (Child == 0) ::_exit(CreateInstanceMutex(Name) ? 1 : 0);
  int Status = 0;
  ::waitpid(Child, &Status, 0);
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 1;
}

TEST(InstanceMutex, AnotherProcessSeesTheNameTakenUntilItIsClosed) {
  TempDir Dir;
  const char* OldValue = std::getenv("XDG_RUNTIME_DIR");
  const std::string Old = OldValue ? OldValue : "";
  ::setenv("XDG_RUNTIME_DIR", Dir.Path().c_str(), 1);

  EXPECT_FALSE(TakenInAnotherProcess("quillet/s"));  // the child's lock died with it
  EXPECT_FALSE(CreateInstanceMutex("quillet/s"));
  EXPECT_TRUE(TakenInAnotherProcess("quillet/s"));
  EXPECT_FALSE(TakenInAnotherProcess("quillet/S"));  // the prefix keeps its case
  EXPECT_FALSE(TakenInAnotherProcess("quillet/p"));
  RuntimeShutdown();
  RuntimeShutdown();
  EXPECT_FALSE(TakenInAnotherProcess("quillet/s"));

  if (OldValue)
    ::setenv("XDG_RUNTIME_DIR", Old.c_str(), 1);
  else
    ::unsetenv("XDG_RUNTIME_DIR");
}

#endif

}  // namespace
}  // namespace quillet
