// The command-line grammar and the instance name.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TCommandLine Parse(std::vector<std::string> Args) { return ParseCommandLine(Args); }

TEST(ParseCommandLine, SwitchLetterSelectsTheModeInEitherCaseAndWithEitherPrefix) {
  EXPECT_EQ(Parse({"/s"}).SaverMode, TSaverMode::ModeSaver);
  EXPECT_EQ(Parse({"/S"}).SaverMode, TSaverMode::ModeSaver);
  EXPECT_EQ(Parse({"-s"}).SaverMode, TSaverMode::ModeSaver);
  EXPECT_EQ(Parse({"/c"}).SaverMode, TSaverMode::ModeConfig);
  EXPECT_EQ(Parse({"-P"}).SaverMode, TSaverMode::ModePreview);
  EXPECT_EQ(Parse({"/a"}).SaverMode, TSaverMode::ModeChangePassword);
  // Characters after the letter are ignored.
  const TCommandLine C = Parse({"/c:1234"});
  EXPECT_EQ(C.SaverMode, TSaverMode::ModeConfig);
  EXPECT_EQ(C.ModeText, "/C:1234");
  EXPECT_EQ(C.PreviewParent, 0u);
}

TEST(ParseCommandLine, AnythingElseIsModeNone) {
  for (const char* Arg : {"", "/", "-", "x", "s", "/x", "//s", "\\s", "/ s"})
    EXPECT_EQ(Parse({Arg}).SaverMode, TSaverMode::ModeNone) << '"' << Arg << '"';
  const TCommandLine None = Parse({});
  EXPECT_EQ(None.SaverMode, TSaverMode::ModeNone);
  EXPECT_EQ(None.ModeText, "");
  EXPECT_EQ(None.PreviewParent, 0u);
}

TEST(ParseCommandLine, ModeTextUpperCasesAsciiLettersOnly) {
  EXPECT_EQ(Parse({"x"}).ModeText, "X");
  EXPECT_EQ(Parse({"-s"}).ModeText, "-S");
  EXPECT_EQ(Parse({"/p\xc3\xa4z"}).ModeText, "/P\xc3\xa4Z");
}

TEST(ParseCommandLine, SecondArgumentIsTheHostWindowWhenItIsADecimalOrHexadecimalId) {
  EXPECT_EQ(Parse({"/p", "1234"}).PreviewParent, 1234u);
  EXPECT_EQ(Parse({"/s", "99"}).PreviewParent, 99u);  // read in every mode
  EXPECT_EQ(Parse({"/p", "0"}).PreviewParent, 0u);
  EXPECT_EQ(Parse({"/p", "4294967295"}).PreviewParent, 4294967295u);
  EXPECT_EQ(Parse({"/p", "0x800008"}).PreviewParent, 0x800008u);
  EXPECT_EQ(Parse({"/p", "0XaBcDeF01"}).PreviewParent, 0xABCDEF01u);
  EXPECT_EQ(Parse({"/p", "0xFFFFFFFF"}).PreviewParent, 0xFFFFFFFFu);
  EXPECT_EQ(Parse({"/p", "010"}).PreviewParent, 10u);  // no octal
  // Not a window id: taken as absent.
  for (const char* Arg : {"", "-5", "+5", " 5", "5 ", "0x", "x10", "0x-1", "0x1g", "12a", "ab",
                          "4294967296", "0x100000000", "99999999999999999999999"})
    EXPECT_EQ(Parse({"/p", Arg}).PreviewParent, 0u) << '"' << Arg << '"';
  EXPECT_EQ(Parse({"/p", "7", "extra"}).PreviewParent, 7u);
}

// Windows writes the window after a colon too; elsewhere "/p:1234" stays a preview without a host.
TEST(ParseCommandLine, WindowAfterAColonOnlyWhereThePlatformWritesIt) {
  const TCommandLineDialect Windows{.WindowAfterColon = true};
  for (const TCommandLineDialect Dialect : {TCommandLineDialect{}, Windows}) {
    const bool Colon = Dialect.WindowAfterColon;
    const TCommandLine P = ParseCommandLine({"/p:1234"}, Dialect);
    EXPECT_EQ(P.SaverMode, TSaverMode::ModePreview);
    EXPECT_EQ(P.PreviewParent, Colon ? 1234u : 0u);
    EXPECT_EQ(P.DialogOwner, 0u);
    EXPECT_EQ(P.ModeText, "/P:1234");
    const TCommandLine C = ParseCommandLine({"-C:0x1F"}, Dialect);
    EXPECT_EQ(C.SaverMode, TSaverMode::ModeConfig);
    EXPECT_EQ(C.DialogOwner, Colon ? 0x1Fu : 0u);
    EXPECT_EQ(C.PreviewParent, 0u);
    // The forms without a colon read as they always did.
    EXPECT_EQ(ParseCommandLine({"/p", "77"}, Dialect).PreviewParent, 77u);
    EXPECT_EQ(ParseCommandLine({"/c"}, Dialect).DialogOwner, 0u);
    // Only the preview and the dialog name a window there, and only a whole window id does.
    EXPECT_EQ(ParseCommandLine({"/s:5"}, Dialect).PreviewParent, 0u);
    EXPECT_EQ(ParseCommandLine({"/s:5"}, Dialect).SaverMode, TSaverMode::ModeSaver);
    for (const char* Arg : {"/p:", "/p:x", "/p:-1", "/p: 5", "/p:4294967296", "/p::5", "/px5", "/c:12z"}) {
      const TCommandLine Bad = ParseCommandLine({Arg}, Dialect);
      EXPECT_EQ(Bad.PreviewParent, 0u) << Arg;
      EXPECT_EQ(Bad.DialogOwner, 0u) << Arg;
    }
  }
  // A window after the colon wins over a second argument.
  EXPECT_EQ(ParseCommandLine({"/p:10", "20"}, Windows).PreviewParent, 10u);
  EXPECT_EQ(ParseCommandLine({"/p:10", "20"}).PreviewParent, 20u);
}

TEST(InstanceName, BaseNameAndFirstTwoCharactersAsTyped) {
  EXPECT_EQ(InstanceName("quillet", {}), "quillet");
  EXPECT_EQ(InstanceName("quillet", {"/s"}), "quillet/s");
  EXPECT_EQ(InstanceName("quillet", {"/S"}), "quillet/S");
  EXPECT_EQ(InstanceName("Quillet.scr", {"/c:1234", "5"}), "Quillet.scr/c");
  EXPECT_EQ(InstanceName("quillet", {"x"}), "quilletx");
  EXPECT_EQ(InstanceName("quillet", {""}), "quillet");
}

// One copy per user and display: the screen and the spelling of the local host do not make a
// second session, another display or host does.
TEST(SessionInstanceName, OneNamePerDisplayWhateverItsSpelling) {
  const std::vector<std::string> Saver = {"/s"};
  const std::string Local = SessionInstanceName("quillet", Saver, ":0");
  EXPECT_EQ(Local, "quillet/s@:0");
  for (const char* Same : {":0.0", ":0.1", "unix:0", "unix:0.2"})
    EXPECT_EQ(SessionInstanceName("quillet", Saver, Same), Local) << Same;
  for (const char* Other : {":1", ":10", "host:0", "localhost:0", "host:0.1"})
    EXPECT_NE(SessionInstanceName("quillet", Saver, Other), Local) << Other;
  EXPECT_EQ(SessionInstanceName("quillet", Saver, "host:7.1"), "quillet/s@host:7");
  // Names of another form are kept whole rather than guessed at.
  EXPECT_EQ(DisplaySession(":0.x"), ":0.x");
  EXPECT_EQ(DisplaySession("nocolon"), "nocolon");
  EXPECT_EQ(SessionInstanceName("quillet", Saver, ""), "quillet/s");
}

}  // namespace
}  // namespace quillet
