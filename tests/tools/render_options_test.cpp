// The renderer's command line: defaults, ranges and the arguments it refuses.
#include <gtest/gtest.h>

#include "tools/render_options.h"

namespace quillet {
namespace {

std::optional<RenderOptions> Parse(std::vector<std::string> Args) {
  std::string Error;
  auto O = ParseRenderOptions(Args, Error);
  EXPECT_EQ(O.has_value(), Error.empty()) << Error;
  return O;
}

TEST(RenderOptions, DefaultsAndEveryOption) {
  auto O = Parse({"--out", "a.png"});
  ASSERT_TRUE(O);
  EXPECT_EQ(O->Width, 640);
  EXPECT_EQ(O->Height, 480);
  EXPECT_EQ(O->Ticks, 100);
  EXPECT_FALSE(O->ElapsedMs);
  EXPECT_FALSE(O->Portable);
  EXPECT_FALSE(O->KeepAlpha);
  EXPECT_FALSE(O->Help);

  O = Parse({"--width", "1", "--height", "16384", "--ticks", "0", "--ini", "q.ini",
             "--elapsed-ms", "4294967295", "--portable", "--keep-alpha", "--out", "b.png"});
  ASSERT_TRUE(O);
  EXPECT_EQ(O->Width, 1);
  EXPECT_EQ(O->Height, 16384);
  EXPECT_EQ(O->Ticks, 0);
  EXPECT_EQ(O->IniPath, "q.ini");
  EXPECT_EQ(O->ElapsedMs, 4294967295u);
  EXPECT_TRUE(O->Portable);
  EXPECT_TRUE(O->KeepAlpha);
  EXPECT_EQ(O->OutPath, "b.png");
}

TEST(RenderOptions, RefusesBadArguments) {
  const std::vector<std::vector<std::string>> Bad = {
      {},
      {"--width", "640"},
      {"--out"},
      {"--out", ""},
      {"--width", "0", "--out", "a.png"},
      {"--width", "16385", "--out", "a.png"},
      {"--height", "-5", "--out", "a.png"},
      {"--width", "12x", "--out", "a.png"},
      {"--width", " 12", "--out", "a.png"},
      {"--width", "99999999999999999999", "--out", "a.png"},
      {"--ticks", "-1", "--out", "a.png"},
      {"--elapsed-ms", "4294967296", "--out", "a.png"},
      {"--out", "a.png", "--out", "b.png"},
      {"--out", "a.png", "--frobnicate"},
      {"--out", "a.png", "--width"},
      {"--width=640", "--out", "a.png"},
      {"--keep-alpha", "--keep-alpha", "--out", "a.png"},
  };
  for (const auto& Args : Bad) {
    std::string Error;
    EXPECT_FALSE(ParseRenderOptions(Args, Error)) << (Args.empty() ? "" : Args[0]);
    EXPECT_FALSE(Error.empty());
  }
}

TEST(RenderOptions, HelpAnywhereAsksForTheUsageAlone) {
  for (const std::vector<std::string>& Args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"--width", "0", "--help"}, {"--out", "a.png", "-h"}}) {
    const auto O = Parse(Args);
    ASSERT_TRUE(O);
    EXPECT_TRUE(O->Help);
  }
}

}  // namespace
}  // namespace quillet
