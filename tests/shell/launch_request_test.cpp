// Telling a host's command line from the screen-saver modes, and the setting options.
#include "shell/launch_request.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TLaunchRequest Parse(std::vector<std::string> Args, const char* Variable = nullptr) {
  return ParseLaunchRequest(Args, Variable);
}

TEST(LaunchRequest, ScreenSaverModesAndBareStartsStayAsTheyWere) {
  for (const std::vector<std::string>& Args :
       std::vector<std::vector<std::string>>{{}, {"/s"}, {"-s"}, {"/p", "0x10"}, {"x"}, {"-S"},
                                             {"/c", "--root"}, {"-size"}, {""}}) {
    EXPECT_EQ(Parse(Args).Action, TLaunchAction::ScreenSaverMode) << (Args.empty() ? "()" : Args[0]);
    // The host's variable alone does not turn a mode into a hosted start.
    if (!Args.empty()) {
      EXPECT_EQ(Parse(Args, "0x10").Action, TLaunchAction::ScreenSaverMode);
    }
  }
  EXPECT_EQ(Parse({}, "").Action, TLaunchAction::ScreenSaverMode);
}

TEST(LaunchRequest, HelpAndVersionWinAnywhereInALongOptionLine) {
  EXPECT_EQ(Parse({"--help"}).Action, TLaunchAction::Help);
  EXPECT_EQ(Parse({"-h"}).Action, TLaunchAction::Help);
  EXPECT_EQ(Parse({"--version"}).Action, TLaunchAction::Version);
  EXPECT_EQ(Parse({"--root", "--objects", "x", "--help"}, "junk").Action, TLaunchAction::UsageError);
  EXPECT_EQ(Parse({"--root", "--bogus", "--help"}).Action, TLaunchAction::UsageError);
  EXPECT_EQ(Parse({"--root", "--help", "--bogus"}).Action, TLaunchAction::Help);
  EXPECT_EQ(Parse({"-root", "--version"}).Action, TLaunchAction::Version);
}

TEST(LaunchRequest, TheHostsWindowComesFromTheOptionThenTheVariableThenTheRoot) {
  TLaunchRequest R = Parse({"--root"});
  EXPECT_EQ(R.Action, TLaunchAction::Hosted);
  EXPECT_EQ(R.Target, THostTarget::Root);

  R = Parse({"-root"}, "0x800008");
  EXPECT_EQ(R.Action, TLaunchAction::Hosted);
  EXPECT_EQ(R.Target, THostTarget::Window);
  EXPECT_EQ(R.HostWindow, 0x800008u);

  R = Parse({}, "4194312");  // decimal, with no argument at all
  EXPECT_EQ(R.Action, TLaunchAction::Hosted);
  EXPECT_EQ(R.HostWindow, 4194312u);

  R = Parse({"--size", "40"}, "0x10");  // settings alone, with the variable
  EXPECT_EQ(R.Action, TLaunchAction::Hosted);
  EXPECT_EQ(R.HostWindow, 0x10u);

  for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
           {"-window-id", "0x2a"}, {"--window-id", "42"}, {"--window-id=0x2A"}, {"--root", "--window-id", "42"}}) {
    R = Parse(Args, "0x99");
    EXPECT_EQ(R.Action, TLaunchAction::Hosted) << Args[0];
    EXPECT_EQ(R.Target, THostTarget::Window);
    EXPECT_EQ(R.HostWindow, 42u);
  }
}

TEST(LaunchRequest, RatesAndASettingsFileAreHostOptions) {
  TLaunchRequest R = Parse({"-fps"}, "0x10");  // as xscreensaver passes its frame-rate switch
  EXPECT_EQ(R.Action, TLaunchAction::Hosted);
  EXPECT_TRUE(R.ShowRates);
  EXPECT_TRUE(R.SettingsFile.empty());
  EXPECT_EQ(Parse({"-fps"}).Action, TLaunchAction::UsageError);  // never a mode named "-F"
  R = Parse({"--root", "--fps", "--ini", "/a b/Q.INI", "--size", "20"});
  EXPECT_TRUE(R.ShowRates);
  EXPECT_EQ(R.SettingsFile, "/a b/Q.INI");
  EXPECT_EQ(R.Overrides.Numbers[1], 20);
  EXPECT_EQ(Parse({"--root", "--ini=x.ini", "--ini", "y.ini"}).SettingsFile, "y.ini");
  EXPECT_FALSE(Parse({"--root"}).ShowRates);
  for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
           {"--root", "--ini"}, {"--root", "--ini="}, {"--root", "--ini", ""}, {"--root", "--ini=a", "--ini"}}) {
    R = Parse(Args);
    EXPECT_EQ(R.Action, TLaunchAction::UsageError) << Args.back();
    EXPECT_EQ(R.Error, "missing file name after --ini");
  }
}

// A host's window is watched by nobody who could answer a box, and a host stops its saver and its
// preview with signals.
TEST(LaunchRequest, HostsGetErrorsOnStderrAndEndOnSignals) {
  struct TCase {
    std::vector<std::string> Args;
    TErrorReport Errors;
    bool Signals;
  };
  for (const TCase& C : std::vector<TCase>{{{"--root"}, TErrorReport::Stderr, true},
                                           {{"--window-id", "7"}, TErrorReport::Stderr, true},
                                           {{"/p", "7"}, TErrorReport::Stderr, true},
                                           {{"/p"}, TErrorReport::Box, true},
                                           {{"/p", "nothing"}, TErrorReport::Box, true},
                                           {{"/s"}, TErrorReport::Box, false},
                                           {{"/c"}, TErrorReport::Box, false},
                                           {{}, TErrorReport::Box, false}}) {
    const TLaunchRequest R = Parse(C.Args);
    const std::string Name = C.Args.empty() ? "()" : C.Args[0];
    EXPECT_EQ(ErrorReportFor(R, C.Args), C.Errors) << Name;
    EXPECT_EQ(EndsOnQuitSignals(R, C.Args), C.Signals) << Name;
  }
}

TEST(LaunchRequest, RefusesWhatAHostCouldNotMean) {
  for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
           {"--bogus"},
           {"--root", "extra"},
           {"--window-id"},
           {"--window-id", "0"},
           {"--window-id", "-1"},
           {"--window-id", "0x"},
           {"--window-id="},
           {"-window-id", "4294967296"},
           {"--objects", "50"},  // settings need somewhere to draw
           {"--root", "--objects"},
           {"--root", "--objects", ""},
           {"--root", "--objects", "5x"},
           {"--root", "--objects=", "5"},
           {"--root", "--aa-lines=1"},
           {"--root", "--no-objects"},
           {"--root", "--no-"},
           {"--root", "--"},
       }) {
    const TLaunchRequest R = Parse(Args);
    EXPECT_EQ(R.Action, TLaunchAction::UsageError) << Args.back();
    EXPECT_FALSE(R.Error.empty());
    EXPECT_EQ(R.Error.find('\n'), std::string::npos);
  }
  EXPECT_EQ(Parse({"--root"}, "zzz").Action, TLaunchAction::UsageError);
  EXPECT_EQ(Parse({}, "0").Action, TLaunchAction::UsageError);
}

// Where no host lends the saver a window (Windows), the host's command lines are usage errors,
// its variable means nothing, and the preview's colon form is a preview in a host.
TEST(LaunchRequest, WithoutHostsTheHostedStartsAreRefused) {
  TLaunchRules Rules;
  Rules.Dialect.WindowAfterColon = true;
  Rules.Hosting = false;
  for (const std::vector<std::string>& Args : std::vector<std::vector<std::string>>{
           {"--root"}, {"--window-id", "7"}, {"-window-id", "0x10"}, {"--root", "--fps"}, {"--objects", "5"}}) {
    const TLaunchRequest R = ParseLaunchRequest(Args, nullptr, Rules);
    EXPECT_EQ(R.Action, TLaunchAction::UsageError) << Args[0];
    EXPECT_EQ(R.Error.find('\n'), std::string::npos);
  }
  // The bare start is the dialog whatever the variable says; a bad option is still an error.
  EXPECT_EQ(ParseLaunchRequest({}, "0x10", Rules).Action, TLaunchAction::ScreenSaverMode);
  EXPECT_EQ(ParseLaunchRequest({"--bogus"}, nullptr, Rules).Action, TLaunchAction::UsageError);
  EXPECT_EQ(ParseLaunchRequest({"--help"}, nullptr, Rules).Action, TLaunchAction::Help);
  EXPECT_EQ(ParseLaunchRequest({"/p:0x10"}, nullptr, Rules).Action, TLaunchAction::ScreenSaverMode);
  EXPECT_EQ(ErrorReportFor(ParseLaunchRequest({"/p:16"}, nullptr, Rules), {"/p:16"}, Rules.Dialect),
            TErrorReport::Stderr);
  EXPECT_EQ(ErrorReportFor(Parse({"/p:16"}), {"/p:16"}), TErrorReport::Box);
  const std::string Usage = LaunchUsage(Rules);
  EXPECT_NE(Usage.find("/p:HWND"), std::string::npos);
  EXPECT_EQ(Usage.find("--root"), std::string::npos);
  // With hosts the rules change nothing.
  EXPECT_EQ(ParseLaunchRequest({"--root"}, nullptr, TLaunchRules{}).Action, TLaunchAction::Hosted);
  EXPECT_EQ(LaunchUsage(TLaunchRules{}), LaunchUsage());
}

TEST(SettingOptions, OverrideTheFileClampedLikeTheDialogAndLastOneWins) {
  const TLaunchRequest R = Parse({"--root", "--objects", "5", "--size=1000", "--alpha", "-3",
                                  "--thickness", "+7", "--steps", "99999999999999999999",
                                  "--no-aa-lines", "--blend-gouraud-triangles", "--gouraud-bars",
                                  "--no-gouraud-bars", "--no-blend-bars", "--blend-ellipse-disk",
                                  "--alpha", "64"});
  ASSERT_EQ(R.Action, TLaunchAction::Hosted) << R.Error;
  DemoSettings S;
  S.gBars = true;
  S.iEllipse = true;  // not named: stays as the file has it
  R.Overrides.ApplyTo(S);
  EXPECT_EQ(S.Objects(), 10);
  EXPECT_EQ(S.Size(), 100);
  EXPECT_EQ(S.Alpha(), 64);
  EXPECT_EQ(S.Thickness(), 7);
  EXPECT_EQ(S.Steps(), 16);
  EXPECT_FALSE(S.iLines);
  EXPECT_TRUE(S.bgTriangles);
  EXPECT_FALSE(S.gBars);
  EXPECT_FALSE(S.bBars);
  EXPECT_TRUE(S.bEllipseDisk);
  EXPECT_TRUE(S.iEllipse);

  DemoSettings Untouched;
  Parse({"--root"}).Overrides.ApplyTo(Untouched);
  EXPECT_EQ(Untouched.Objects(), DemoSettings().Objects());
  EXPECT_EQ(Untouched.iLines, DemoSettings().iLines);
}

TEST(SettingOptions, EveryKindHasAnOnAndAnOffOptionAndTheUsageListsThemAll) {
  const std::string Usage = LaunchUsage();
  for (size_t I = 0; I < SwitchSettings.size(); ++I) {
    const std::string Name = SwitchOptionName(SwitchSettings[I]);
    EXPECT_NE(Usage.find("--[no-]" + Name + " "), std::string::npos) << Name;
    EXPECT_EQ(Parse({"--root", "--" + Name}).Overrides.Switches[I], true) << Name;
    EXPECT_EQ(Parse({"--root", "--no-" + Name}).Overrides.Switches[I], false) << Name;
  }
  for (const TNumberSetting& N : NumberSettings)
    EXPECT_NE(Usage.find("--" + std::string(N.Option) + " N"), std::string::npos) << N.Option;
}

}  // namespace
}  // namespace quillet
