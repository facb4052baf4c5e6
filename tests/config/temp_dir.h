// A fresh directory per test, removed afterwards, for tests that touch files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <unistd.h>

namespace quillet::testing {

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string Template = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(Template.data()), nullptr);
    Dir = Template;
  }
  void TearDown() override {
    std::error_code Ignored;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all, Ignored);
    std::filesystem::remove_all(Dir, Ignored);
  }

  static void WriteFile(const std::filesystem::path& P, std::string_view Content) {
    std::ofstream(P, std::ios::binary) << Content;
  }
  static std::string ReadFile(const std::filesystem::path& P) {
    std::ifstream In(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  }
  // Names in the directory, to see that no temporary file was left behind.
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Dir), {}));
  }

  std::filesystem::path Dir;
};

}  // namespace quillet::testing
