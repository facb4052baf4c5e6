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
