// xscreensaver's settings file against the settings tables: xscreensaver passes only the values
// that differ from the file's defaults, and hosted mode starts from its built-in defaults, so the
// two sets of defaults must be one for the dialog to show what is drawn; and it offers every
// setting, by its option, and nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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
  for (const TNumberSetting& Number : NumberSettings) {
    const std::string Arg = "arg=\"--" + std::string(Number.Option) + " %\"";
    ASSERT_NE(Xml.find(Arg), std::string::npos) << Number.Option;
    EXPECT_EQ(AttributeNear(Xml, Arg, "low"), std::to_string(Number.Range.Min)) << Number.Option;
    EXPECT_EQ(AttributeNear(Xml, Arg, "high"), std::to_string(Number.Range.Max)) << Number.Option;
    EXPECT_EQ(AttributeNear(Xml, Arg, "default"), std::to_string(Number.FileDefault)) << Number.Option;
  }
  for (const TSwitchSetting& Switch : SwitchSettings) {
    const std::string Name = SwitchOptionName(Switch);
    // A kind drawn by default is passed only when it is switched off, and the other way round.
    const std::string Arg = Defaults.*Switch.Field ? "arg-unset=\"--no-" + Name + "\"" : "arg-set=\"--" + Name + "\"";
    ASSERT_NE(Xml.find(Arg), std::string::npos) << Arg;
    EXPECT_EQ(AttributeNear(Xml, Arg, "id"), Name);
    EXPECT_EQ(AttributeNear(Xml, Arg, "_label"), SwitchCaption(Switch));
  }
  // Nothing else is offered: the eighteen kinds, the five numbers and the frame rate.
  const std::regex Setting("<(boolean|number)\\s");
  const auto Count = std::distance(std::sregex_iterator(Xml.begin(), Xml.end(), Setting), std::sregex_iterator());
  EXPECT_EQ(static_cast<size_t>(Count), SwitchSettings.size() + NumberSettings.size() + 1);
  EXPECT_NE(Xml.find("<command arg=\"--root\"/>"), std::string::npos);
  EXPECT_EQ(AttributeNear(Xml, "arg-set=\"--fps\"", "_label"), "Show frame rate");
  EXPECT_NE(Xml.find("<xscreensaver-updater"), std::string::npos);
}

}  // namespace
}  // namespace quillet
