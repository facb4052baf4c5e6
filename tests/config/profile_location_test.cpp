// Placement of a bare profile file name in the user's configuration directory.
#include "platform/profile_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace quillet {
namespace {

class ProfileLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("XDG_CONFIG_HOME", SavedXdg);
    Save("HOME", SavedHome);
  }
  void TearDown() override {
    Restore("XDG_CONFIG_HOME", SavedXdg);
    Restore("HOME", SavedHome);
  }
  static void Save(const char* Name, std::optional<std::string>& Slot) {
    if (const char* V = std::getenv(Name)) Slot = V;
  }
  static void Restore(const char* Name, const std::optional<std::string>& Slot) {
    if (Slot) ::setenv(Name, Slot->c_str(), 1);
    else ::unsetenv(Name);
  }
  std::optional<std::string> SavedXdg, SavedHome;
};

TEST_F(ProfileLocation, BareNamesGoToTheConfigurationDirectory) {
  ::setenv("XDG_CONFIG_HOME", "/xdg/conf", 1);
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(ProfileFilePath("QUILLET.INI"), "/xdg/conf/QUILLET.INI");
  ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // ignored: only absolute paths count
  EXPECT_EQ(ProfileFilePath("QUILLET.INI"), "/home/someone/.config/QUILLET.INI");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(ProfileFilePath("QUILLET.INI"), "/home/someone/.config/QUILLET.INI");
  ::unsetenv("HOME");
  const std::filesystem::path FromUserDatabase = ProfileFilePath("QUILLET.INI");
  EXPECT_EQ(FromUserDatabase.filename(), "QUILLET.INI");
  EXPECT_EQ(FromUserDatabase.parent_path().filename(), ".config");
}

TEST_F(ProfileLocation, NamesWithADirectoryStayAsTheyAre) {
  ::setenv("XDG_CONFIG_HOME", "/xdg/conf", 1);
  EXPECT_EQ(ProfileFilePath("/etc/q.ini"), "/etc/q.ini");
  EXPECT_EQ(ProfileFilePath("./q.ini"), "./q.ini");
}

}  // namespace
}  // namespace quillet
