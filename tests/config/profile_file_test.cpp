// The profile document's read and write rules and the file session's save guarantees.
#include "config/profile_file.h"

#include <gtest/gtest.h>

#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "temp_dir.h"

namespace quillet {
namespace {

TEST(ProfileRead, NamesMatchWithoutCaseAndFirstMatchWins) {
  const auto D = ProfileDocument::Parse(
      "[Config]\nalpha=1\nALPHA=2\n[CONFIG]\nAlpha=3\nSize=4\n[Other]\nSize=5\n");
  EXPECT_EQ(D.Get("config", "Alpha", "d"), "1");
  // Only the first of two same-named sections is searched.
  EXPECT_EQ(D.Get("Config", "Size", "d"), "d");
  EXPECT_EQ(D.Get("other", "SIZE", "d"), "5");
  EXPECT_EQ(D.Get("Missing", "Size", "d"), "d");
}

TEST(ProfileRead, ValueTextIsTrimmedAndUnquotedOnce) {
  const auto D = ProfileDocument::Parse(
      "[S]\n  a  =  64 \t\nb=\" 64 \"\nc='x'\nd=\"\"q\"\"\ne=\"open\nf=\ng==x=y\n");
  EXPECT_EQ(D.Get("S", "a", ""), "64");
  EXPECT_EQ(D.Get("S", "b", ""), " 64 ");
  EXPECT_EQ(D.Get("S", "c", ""), "x");
  EXPECT_EQ(D.Get("S", "d", ""), "\"q\"");
  EXPECT_EQ(D.Get("S", "e", ""), "\"open");
  EXPECT_EQ(D.Get("S", "f", "d"), "");  // present but empty is not missing
  EXPECT_EQ(D.Get("S", "g", ""), "=x=y");
}

TEST(ProfileRead, CommentsHeadersAndLinesWithoutEqualsAreNotKeys) {
  const auto D = ProfileDocument::Parse(
      "Alpha=0\n[S]\n;Alpha=1\n# Alpha=2\nAlpha 3\n=4\n[Broken\nAlpha=5\n[T] trailing\nk=6");
  EXPECT_EQ(D.Get("S", "Alpha", "d"), "5");  // a header without "]" does not open a section
  EXPECT_EQ(D.Get("Broken", "Alpha", "d"), "d");
  EXPECT_EQ(D.Get("S", "", "d"), "d");
  EXPECT_EQ(D.Get("T", "k", "d"), "6");  // last line without a line end
}

TEST(ProfileRead, CrLfLineEndsAreNotPartOfValues) {
  const auto D = ProfileDocument::Parse("[S]\r\nk=7\r\n\r\n[T]\r\nk=8\r\n");
  EXPECT_EQ(D.Get("S", "k", ""), "7");
  EXPECT_EQ(D.Get("T", "k", ""), "8");
}

TEST(ProfileRead, ValuesAndDefaultsStopAtTheBufferSize) {
  const std::string Long(100000, '7');
  const auto D = ProfileDocument::Parse("[S]\nk=" + Long + "\n" + Long + "\nj=1\n");
  EXPECT_EQ(D.Get("S", "k", "").size(), ProfileValueLimit);
  EXPECT_EQ(D.Get("S", "j", ""), "1");
  EXPECT_EQ(D.Get("S", "x", Long).size(), ProfileValueLimit);
}

TEST(ProfileRead, BinaryGarbageParsesAndSerialisesUnchanged) {
  std::string Garbage;
  uint32_t X = 12345;
  for (int I = 0; I < 20000; ++I) {
    X = X * 1103515245u + 12345u;
    Garbage += static_cast<char>(X >> 24);
  }
  Garbage += std::string("\0[S]\n\0k\0=v\0\n", 13);
  const auto D = ProfileDocument::Parse(Garbage);
  EXPECT_EQ(D.Serialize(), Garbage);
  EXPECT_EQ(D.Get(std::string("\0k", 2), "x", "d"), "d");
}

TEST(ProfileWrite, UpdateKeepsEveryOtherByte) {
  const std::string Before = "; head\r\n[A]\r\nx = 1\r\n  KEY =  old ; not a comment\r\n\r\n[B]\r\nkey=2";
  auto D = ProfileDocument::Parse(Before);
  D.Set("a", "key", "new");
  EXPECT_EQ(D.Serialize(), "; head\r\n[A]\r\nx = 1\r\nKEY=new\r\n\r\n[B]\r\nkey=2");
}

TEST(ProfileWrite, NewKeysFollowTheSectionsLastKeyAndNewSectionsGoLast) {
  auto D = ProfileDocument::Parse("[A]\nx=1\n; about B\n\n[B]\n[A]\ny=2\n# tail");
  D.Set("A", "z", "3");
  D.Set("B", "w", "4");
  D.Set("C", "v", "5");
  EXPECT_EQ(D.Serialize(), "[A]\nx=1\nz=3\n; about B\n\n[B]\nw=4\n[A]\ny=2\n# tail\n[C]\nv=5\n");
  EXPECT_EQ(D.Get("A", "z", ""), "3");
}

TEST(ProfileWrite, EditsKeepTheLinesAfterThemFound) {
  auto D = ProfileDocument::Parse("[A]\nx=1\n\n[B]\ny=2\n; c\n[C]\nz=3");
  D.Set("A", "x", std::string(300, 'v'));  // longer: every later line moves
  D.Set("C", "w", "4");                     // the last line gains a line end
  D.Set("A", "x", "");                      // shorter again
  D.Set("B", "n", "5");
  D.Set("D", "u", "6");
  EXPECT_EQ(D.Serialize(), "[A]\nx=\n\n[B]\ny=2\nn=5\n; c\n[C]\nz=3\nw=4\n[D]\nu=6\n");
  for (const auto& [Section, Key, Value] :
       {std::tuple("a", "X", ""), std::tuple("b", "y", "2"), std::tuple("B", "n", "5"),
        std::tuple("c", "z", "3"), std::tuple("C", "w", "4"), std::tuple("d", "u", "6")})
    EXPECT_EQ(D.Get(Section, Key, "missing"), Value) << Section << "." << Key;
}

TEST(ProfileWrite, NewLinesUseTheFilesLineEnd) {
  auto D = ProfileDocument::Parse("[A]\r\nx=1");
  D.Set("A", "y", "2");
  D.Set("B", "z", "3");
  EXPECT_EQ(D.Serialize(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  ProfileDocument Empty;
  Empty.Set("A", "x", "1");
  EXPECT_EQ(Empty.Serialize(), "[A]\nx=1\n");
  // A file without any line end gets "\n", also after a "\r" at its very end.
  auto Bare = ProfileDocument::Parse("k\r");
  Bare.Set("A", "x", "1");
  Bare.Set("A", "y", "2");
  EXPECT_EQ(Bare.Serialize(), "k\r\n[A]\nx=1\ny=2\n");
}

TEST(ProfileWrite, EveryAcceptedValueReadsBackAsWritten) {
  ProfileDocument D;
  for (const std::string V : {"", " lead", "trail\t", "\"q\"", "'q'", "\"half", "a=b;c", "x\"y"}) {
    D.Set("S", "k", V);
    EXPECT_EQ(D.Get("S", "k", "d"), V);
    EXPECT_EQ(ProfileDocument::Parse(D.Serialize()).Get("S", "k", "d"), V);
  }
}

TEST(ProfileWrite, NamesAndValuesThatWouldNotReadBackAreRefused) {
  ProfileDocument D;
  EXPECT_THROW(D.Set("", "k", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("a]b", "k", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set(" S", "k", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S\n[T]", "k", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S", "", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S", "a=b", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S", ";k", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S", "[k]", "v"), std::invalid_argument);
  EXPECT_THROW(D.Set("S", "k", "v\r\n[Config]\r\nAlpha=1"), std::invalid_argument);
  EXPECT_EQ(D.Serialize(), "");
}

using ProfileFileTest = testing::TempDirTest;

TEST_F(ProfileFileTest, MissingFileReadsEmptyAndIsCreatedOnlyByAWrite) {
  const auto Path = Dir / "sub" / "QUILLET.INI";
  {
    ProfileFile F(Path);
    EXPECT_TRUE(F.Readable());
    EXPECT_EQ(F.Read("S", "k", "d"), "d");
    F.Close();
  }
  EXPECT_FALSE(std::filesystem::exists(Path));
  WriteProfileString(Path, "S", "k", "v");
  EXPECT_EQ(ReadFile(Path), "[S]\nk=v\n");
  EXPECT_EQ(ReadProfileString(Path, "s", "K", "d"), "v");
}

TEST_F(ProfileFileTest, WritesWaitForCloseAndDestructionDiscardsThem) {
  const auto Path = Dir / "p.ini";
  WriteFile(Path, "[S]\nk=1\n");
  {
    ProfileFile F(Path);
    F.Write("S", "k", "2");
    EXPECT_EQ(F.Read("S", "k", ""), "2");
    EXPECT_EQ(ReadFile(Path), "[S]\nk=1\n");
  }
  EXPECT_EQ(ReadFile(Path), "[S]\nk=1\n");
}

TEST_F(ProfileFileTest, RefusedWriteRaisesTheMessageAndLeavesNothingBehind) {
  WriteFile(Dir / "plain", "x");
  const auto Path = Dir / "plain" / "QUILLET.INI";  // a directory that is a file
  try {
    WriteProfileString(Path, "S", "k", "v");
    FAIL() << "no error";
  } catch (const ProfileWriteError& E) {
    EXPECT_STREQ(E.what(), "In QUILLET.INI kann nicht geschrieben werden");
    EXPECT_NE(E.SystemError(), 0);
  }
  ProfileFile Named(Path, "SOME.INI");
  Named.Write("S", "k", "v");
  EXPECT_THROW(
      try { Named.Close(); } catch (const ProfileWriteError& E) {
        EXPECT_EQ(E.FileName(), "SOME.INI");
        throw;
      },
      ProfileWriteError);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(ProfileFileTest, FailedRenameKeepsTheTargetAndRemovesTheTemporary) {
  const auto Path = Dir / "QUILLET.INI";
  ProfileFile F(Path);
  F.Write("S", "k", "v");
  std::filesystem::create_directories(Path / "inside");  // the target turns into a directory
  EXPECT_THROW(F.Close(), ProfileWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(Path / "inside"));
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  const auto Path = Dir / "QUILLET.INI";
  std::filesystem::create_directory(Path);
  ProfileFile F(Path);
  EXPECT_FALSE(F.Readable());
  EXPECT_EQ(F.Read("S", "k", "d"), "d");
  F.Write("S", "k", "v");
  EXPECT_THROW(F.Close(), ProfileWriteError);

  const auto Big = Dir / "big.ini";
  std::filesystem::remove(Path);
  WriteFile(Big, "[S]\nk=1\n");
  std::filesystem::resize_file(Big, ProfileFileSizeLimit + 1);
  EXPECT_THROW(WriteProfileString(Big, "S", "k", "2"), ProfileWriteError);
  EXPECT_EQ(std::filesystem::file_size(Big), ProfileFileSizeLimit + 1);
}

#ifndef _WIN32  // POSIX permissions and links
TEST_F(ProfileFileTest, ReadOnlyDirectoryRefusesAndKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const auto Path = Dir / "QUILLET.INI";
  WriteFile(Path, "[S]\nk=1\n");
  std::filesystem::permissions(Dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_THROW(WriteProfileString(Path, "S", "k", "2"), ProfileWriteError);
  EXPECT_EQ(ReadFile(Path), "[S]\nk=1\n");
}

TEST_F(ProfileFileTest, SaveFollowsSymlinksAndKeepsPermissions) {
  const auto Real = Dir / "real.ini";
  const auto Link = Dir / "QUILLET.INI";
  WriteFile(Real, "[S]\nk=1\n");
  ::chmod(Real.c_str(), 0640);
  std::filesystem::create_symlink("real.ini", Link);
  WriteProfileString(Link, "S", "k", "2");
  EXPECT_TRUE(std::filesystem::is_symlink(Link));
  EXPECT_EQ(ReadFile(Real), "[S]\nk=2\n");
  struct stat St {};
  ASSERT_EQ(::stat(Real.c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 07777, 0640u);
  EXPECT_EQ(EntryCount(), 2u);
}

#endif

}  // namespace
}  // namespace quillet
