// A fresh directory per test, removed afterwards, for tests that touch files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace quillet::testing {

// A new directory under the system's temporary one, named Prefix and a random number; created
// here and nowhere else (creating it fails when the name exists). Empty when none could be made.
inline std::filesystem::path MakeTempDirectory(std::string_view Prefix) {
  std::random_device Seed;
  std::mt19937_64 Random((static_cast<uint64_t>(Seed()) << 32) ^ Seed());
  std::error_code Error;
  const std::filesystem::path Base = std::filesystem::temp_directory_path(Error);
  for (int Attempt = 0; !Error && Attempt < 100; ++Attempt) {
    std::filesystem::path Dir = Base / (std::string(Prefix) + std::to_string(Random()));
    if (std::filesystem::create_directory(Dir, Error)) return Dir;
  }
  return {};
}

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = MakeTempDirectory("quillet-test-");
    ASSERT_FALSE(Dir.empty());
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
