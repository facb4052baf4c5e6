// xscreensaver's settings file against the program: xscreensaver passes only the values that
// differ from the file's defaults, and hosted mode starts from its built-in defaults, so the two
// sets of defaults must be one for the dialog to show what is drawn.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "config/demo_settings.h"
#include "config/setting_options.h"

namespace quillet {
namespace {

std::string SettingsFileText() {
  std::ifstream File(QUILLET_XML);
  std::stringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// The attribute Name of the first element that holds Marker, or "" when there is none.
std::string AttributeNear(const std::string& Xml, const std::string& Marker, const std::string& Name) {
  const size_t At = Xml.find(Marker);
  if (At == std::string::npos) return "";
  const size_t Start = Xml.rfind('<', At);
  const std::string Element = Xml.substr(Start, Xml.find('>', At) - Start);
  std::smatch Match;
  if (!std::regex_search(Element, Match, std::regex("\\s" + Name + "=\"([^\"]*)\""))) return "";
  return Match[1];
}

TEST(XscreensaverSettings, DefaultsAndRangesAreTheProgramsOwn) {
  const std::string Xml = SettingsFileText();
  ASSERT_FALSE(Xml.empty()) << QUILLET_XML;
  const DemoSettings Defaults;
  for (const TNumberOption& Option : NumberOptions) {
    const std::string Arg = "arg=\"--" + std::string(Option.Name) + " %\"";
    ASSERT_NE(Xml.find(Arg), std::string::npos) << Option.Name;
    EXPECT_EQ(AttributeNear(Xml, Arg, "low"), std::to_string(Option.Range.Min)) << Option.Name;
    EXPECT_EQ(AttributeNear(Xml, Arg, "high"), std::to_string(Option.Range.Max)) << Option.Name;
    // The default is the value that the setter leaves alone on a fresh record.
    const std::string Default = AttributeNear(Xml, Arg, "default");
    DemoSettings Fresh;
    ASSERT_FALSE(Default.empty()) << Option.Name;
    EXPECT_FALSE((Fresh.*Option.Set)(std::stoi(Default))) << Option.Name << " default " << Default;
  }
  for (const TSwitchOption& Option : SwitchOptions) {
    const std::string Name = Option.Name;
    // A kind drawn by default is passed only when it is switched off, and the other way round.
    const std::string Arg = Defaults.*Option.Field ? "arg-unset=\"--no-" + Name + "\"" : "arg-set=\"--" + Name + "\"";
    EXPECT_NE(Xml.find(Arg), std::string::npos) << Arg;
  }
  EXPECT_NE(Xml.find("<command arg=\"--root\"/>"), std::string::npos);
  EXPECT_EQ(AttributeNear(Xml, "arg-set=\"--fps\"", "_label"), "Show frame rate");
  EXPECT_NE(Xml.find("<xscreensaver-updater"), std::string::npos);
}

}  // namespace
}  // namespace quillet
