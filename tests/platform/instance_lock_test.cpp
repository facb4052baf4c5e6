// The instance lock must say "already held" exactly while another live holder exists, survive a
// crashed holder, and keep every distinct name distinct.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/instance_lock.h"

namespace quillet {
namespace {

using Result = InstanceLock::Result;

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* Old = std::getenv("XDG_RUNTIME_DIR")) SavedRuntimeDir = Old;
    char Template[] = "/tmp/quillet-lock-test-XXXXXX";
    ASSERT_NE(::mkdtemp(Template), nullptr);
    RuntimeDir = Template;
    ::setenv("XDG_RUNTIME_DIR", RuntimeDir.c_str(), 1);
  }
  void TearDown() override {
    if (SavedRuntimeDir.empty())
      ::unsetenv("XDG_RUNTIME_DIR");
    else
      ::setenv("XDG_RUNTIME_DIR", SavedRuntimeDir.c_str(), 1);
    const std::string Command = "rm -rf '" + RuntimeDir + "'";
    EXPECT_EQ(std::system(Command.c_str()), 0);
  }

  // Runs Acquire(Name) in a child process and returns what it saw.
  static Result AcquireInChild(const std::string& Name) {
    const pid_t Child = ::fork();
    if (Child == 0) {
      InstanceLock Lock;
      ::_exit(static_cast<int>(Lock.Acquire(Name)));
    }
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    return static_cast<Result>(WEXITSTATUS(Status));
  }

  // A child that takes Name, reports, and then waits until it is killed.
  static pid_t HoldInChild(const std::string& Name) {
    int Pipe[2];
    if (::pipe(Pipe) != 0) return -1;
    const pid_t Child = ::fork();
    if (Child == 0) {
      ::close(Pipe[0]);
      InstanceLock Lock;
      const char Acquired = Lock.Acquire(Name) == Result::Acquired ? 'y' : 'n';
      if (::write(Pipe[1], &Acquired, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(Pipe[1]);
    char Reply = 0;
    const bool Ok = ::read(Pipe[0], &Reply, 1) == 1 && Reply == 'y';
    ::close(Pipe[0]);
    if (!Ok) {
      ::kill(Child, SIGKILL);
      ::waitpid(Child, nullptr, 0);
      return -1;
    }
    return Child;
  }

  std::string RuntimeDir;
  std::string SavedRuntimeDir;
};

TEST_F(InstanceLockTest, AnotherProcessSeesTheNameTakenUntilTheHolderLetsGo) {
  InstanceLock Lock;
  ASSERT_EQ(Lock.Acquire("quillet/s"), Result::Acquired);
  EXPECT_EQ(AcquireInChild("quillet/s"), Result::AlreadyHeld);
  // The mode prefix keeps its case: /S does not exclude /s.
  EXPECT_EQ(AcquireInChild("quillet/S"), Result::Acquired);
  Lock.Release();
  EXPECT_EQ(AcquireInChild("quillet/s"), Result::Acquired);
}

TEST_F(InstanceLockTest, ACrashedHolderDoesNotBlockTheNextStart) {
  const pid_t Holder = HoldInChild("quillet/p");
  ASSERT_GT(Holder, 0);
  InstanceLock Lock;
  EXPECT_EQ(Lock.Acquire("quillet/p"), Result::AlreadyHeld);
  EXPECT_FALSE(Lock.Held());
  ::kill(Holder, SIGKILL);
  ::waitpid(Holder, nullptr, 0);
  EXPECT_EQ(Lock.Acquire("quillet/p"), Result::Acquired);
  EXPECT_TRUE(Lock.Held());
}

TEST_F(InstanceLockTest, ASecondLockInTheSameProcessAlsoSeesTheName) {
  InstanceLock First, Second;
  ASSERT_EQ(First.Acquire("quillet"), Result::Acquired);
  EXPECT_EQ(Second.Acquire("quillet"), Result::AlreadyHeld);
  // Taking another name lets go of the first one.
  ASSERT_EQ(First.Acquire("other"), Result::Acquired);
  EXPECT_EQ(Second.Acquire("quillet"), Result::Acquired);
}

TEST_F(InstanceLockTest, NamesAreEncodedNotTruncated) {
  // Look-alikes of an encoded slash, and names of the characters that paths treat specially.
  const std::string Names[] = {"a/b",  "a%2Fb", "a_b", "a%b", "A/b",   "",    ".",
                               "..",   "../..", "/",   " ",   "a\nb", "\xff", "x.lock"};
  InstanceLock Locks[std::size(Names)];
  for (size_t I = 0; I < std::size(Names); ++I)
    EXPECT_EQ(Locks[I].Acquire(Names[I]), Result::Acquired) << "name " << I;

  // Names longer than one file name may be, differing only at the very end or in length.
  const std::string Long(700, '/');
  InstanceLock LongLock, LongerLock, SimilarLock, Again;
  ASSERT_EQ(LongLock.Acquire(Long), Result::Acquired);
  EXPECT_EQ(LongerLock.Acquire(Long + "/"), Result::Acquired);
  EXPECT_EQ(SimilarLock.Acquire(Long.substr(1) + "x"), Result::Acquired);
  EXPECT_EQ(Again.Acquire(Long), Result::AlreadyHeld);
  EXPECT_EQ(AcquireInChild(Long), Result::AlreadyHeld);

  // Nothing is written outside the lock directory.
  struct stat Info{};
  EXPECT_NE(::stat((RuntimeDir + "/a").c_str(), &Info), 0);
}

TEST_F(InstanceLockTest, ADirectoryOthersCouldWriteIsRefused) {
  const std::string Dir = RuntimeDir + "/quillet";
  ASSERT_EQ(::mkdir(Dir.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(Dir.c_str(), 0777), 0);
  InstanceLock Lock;
  EXPECT_EQ(Lock.Acquire("quillet"), Result::Failed);
}

}  // namespace
}  // namespace quillet
