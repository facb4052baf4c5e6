// The instance lock must say "already held" exactly while another live holder exists, survive a
// crashed holder, and keep every distinct name distinct: with a usable lock directory, and with a
// missing or refused one, when an abstract socket holds the name.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/instance_lock.h"

namespace quillet {
namespace {

using Result = InstanceLock::Result;

enum class LockDirectory { Usable, Missing, Refused };

void PrintTo(LockDirectory D, std::ostream* Out) {
  *Out << (D == LockDirectory::Usable ? "Usable" : D == LockDirectory::Missing ? "Missing" : "Refused");
}

class InstanceLockTest : public ::testing::TestWithParam<LockDirectory> {
 protected:
  void SetUp() override {
    if (const char* Old = std::getenv("XDG_RUNTIME_DIR")) SavedRuntimeDir = Old;
    char Template[] = "/tmp/quillet-lock-test-XXXXXX";
    ASSERT_NE(::mkdtemp(Template), nullptr);
    RuntimeDir = Template;
    switch (GetParam()) {
      case LockDirectory::Usable:
        ::setenv("XDG_RUNTIME_DIR", RuntimeDir.c_str(), 1);
        break;
      case LockDirectory::Missing:
        ::setenv("XDG_RUNTIME_DIR", "/nonexistent/run", 1);
        break;
      case LockDirectory::Refused:
        // Open to others: the lock must not trust it.
        ASSERT_EQ(::mkdir((RuntimeDir + "/quillet").c_str(), 0755), 0);
        ::setenv("XDG_RUNTIME_DIR", RuntimeDir.c_str(), 1);
        break;
    }
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

  // Socket names are shared by every process on the machine: tests that run at the same time
  // must not meet in them.
  static std::string N(const std::string& Name) {
    if (GetParam() == LockDirectory::Usable) return Name;
    return "test-" + std::to_string(::getpid()) + ":" + Name;
  }

  std::string RuntimeDir;
  std::string SavedRuntimeDir;
};

TEST_P(InstanceLockTest, AnotherProcessSeesTheNameTakenUntilTheHolderLetsGo) {
  InstanceLock Lock;
  ASSERT_EQ(Lock.Acquire(N("quillet/s")), Result::Acquired);
  EXPECT_EQ(AcquireInChild(N("quillet/s")), Result::AlreadyHeld);
  // The mode prefix keeps its case: /S does not exclude /s.
  EXPECT_EQ(AcquireInChild(N("quillet/S")), Result::Acquired);
  Lock.Release();
  EXPECT_EQ(AcquireInChild(N("quillet/s")), Result::Acquired);
}

TEST_P(InstanceLockTest, ACrashedHolderDoesNotBlockTheNextStart) {
  const pid_t Holder = HoldInChild(N("quillet/p"));
  ASSERT_GT(Holder, 0);
  InstanceLock Lock;
  EXPECT_EQ(Lock.Acquire(N("quillet/p")), Result::AlreadyHeld);
  EXPECT_FALSE(Lock.Held());
  ::kill(Holder, SIGKILL);
  ::waitpid(Holder, nullptr, 0);
  EXPECT_EQ(Lock.Acquire(N("quillet/p")), Result::Acquired);
  EXPECT_TRUE(Lock.Held());
}

TEST_P(InstanceLockTest, ASecondLockInTheSameProcessAlsoSeesTheName) {
  InstanceLock First, Second;
  ASSERT_EQ(First.Acquire(N("quillet")), Result::Acquired);
  EXPECT_EQ(Second.Acquire(N("quillet")), Result::AlreadyHeld);
  // Taking another name lets go of the first one.
  ASSERT_EQ(First.Acquire(N("other")), Result::Acquired);
  EXPECT_EQ(Second.Acquire(N("quillet")), Result::Acquired);
}

TEST_P(InstanceLockTest, NamesAreEncodedNotTruncated) {
  // Look-alikes of an encoded slash, and names of the characters that paths treat specially.
  const std::string Names[] = {"a/b",  "a%2Fb", "a_b", "a%b", "A/b",   "",    ".",
                               "..",   "../..", "/",   " ",   "a\nb", "\xff", "x.lock"};
  InstanceLock Locks[std::size(Names)];
  for (size_t I = 0; I < std::size(Names); ++I)
    EXPECT_EQ(Locks[I].Acquire(N(Names[I])), Result::Acquired) << "name " << I;

  // Names longer than one file name may be, differing only at the very end or in length.
  const std::string Long = N(std::string(700, '/'));
  InstanceLock LongLock, LongerLock, SimilarLock, Again;
  ASSERT_EQ(LongLock.Acquire(Long), Result::Acquired);
  EXPECT_EQ(LongerLock.Acquire(Long + "/"), Result::Acquired);
  EXPECT_EQ(SimilarLock.Acquire(Long.substr(0, Long.size() - 1) + "x"), Result::Acquired);
  EXPECT_EQ(Again.Acquire(Long), Result::AlreadyHeld);
  EXPECT_EQ(AcquireInChild(Long), Result::AlreadyHeld);

  // Nothing is written outside the lock directory, nor inside one that was refused.
  struct stat Info{};
  EXPECT_NE(::stat((RuntimeDir + "/a").c_str(), &Info), 0);
  if (GetParam() == LockDirectory::Refused) {
    const std::string Command = "[ -z \"$(ls -A '" + RuntimeDir + "/quillet')\" ]";
    EXPECT_EQ(std::system(Command.c_str()), 0);
  }
}

TEST_P(InstanceLockTest, OfSimultaneousStartsExactlyOneHoldsTheName) {
  constexpr int Copies = 20;
  int Start[2], Replies[2];
  ASSERT_EQ(::pipe(Start), 0);
  ASSERT_EQ(::pipe(Replies), 0);
  const std::string Name = N("quillet/s");
  std::vector<pid_t> Children;
  for (int I = 0; I < Copies; ++I) {
    const pid_t Child = ::fork();
    if (Child == 0) {
      ::close(Start[1]);
      ::close(Replies[0]);
      char Go;
      if (::read(Start[0], &Go, 1) != 0) ::_exit(1);  // all go when the pipe closes
      InstanceLock Lock;
      const char Reply = static_cast<char>('0' + static_cast<int>(Lock.Acquire(Name)));
      if (::write(Replies[1], &Reply, 1) != 1) ::_exit(1);
      ::close(Replies[1]);
      ::read(Start[0], &Go, 1);  // hold until the parent ends the test
      ::pause();
      ::_exit(0);
    }
    Children.push_back(Child);
  }
  ::close(Start[0]);
  ::close(Replies[1]);
  ::close(Start[1]);
  int Counts[3] = {};
  char Reply;
  for (int I = 0; I < Copies && ::read(Replies[0], &Reply, 1) == 1; ++I)
    if (Reply >= '0' && Reply <= '2') ++Counts[Reply - '0'];
  ::close(Replies[0]);
  for (const pid_t Child : Children) {
    ::kill(Child, SIGKILL);
    ::waitpid(Child, nullptr, 0);
  }
  EXPECT_EQ(Counts[static_cast<int>(Result::Acquired)], 1);
  EXPECT_EQ(Counts[static_cast<int>(Result::AlreadyHeld)], Copies - 1);
}

TEST_P(InstanceLockTest, ANameTakenByAnotherUserDoesNotStopThisOne) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // Another user binds this user's socket names, listening on one of them; neither may pass for
  // a copy of ours.
  const std::string Listening = N("quillet/s"), Bound = N("quillet/p");
  const auto Bind = [](const std::string& SocketName) {
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::memcpy(Address.sun_path + 1, SocketName.data(), SocketName.size());
    const auto Length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + SocketName.size());
    return ::bind(Socket, reinterpret_cast<sockaddr*>(&Address), Length) == 0 ? Socket : -1;
  };
  // Named here: the names hold the user id.
  const std::string ListeningSocket = InstanceLockSocketName(Listening);
  const std::string BoundSocket = InstanceLockSocketName(Bound);
  int Ready[2];
  ASSERT_EQ(::pipe(Ready), 0);
  const pid_t Squatter = ::fork();
  if (Squatter == 0) {
    ::close(Ready[0]);
    if (::setuid(65534) != 0) ::_exit(1);
    const int Socket = Bind(ListeningSocket);
    if (Socket < 0 || ::listen(Socket, 4) != 0 || Bind(BoundSocket) < 0) ::_exit(1);
    if (::write(Ready[1], "y", 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(Ready[1]);
  char Reply = 0;
  ASSERT_EQ(::read(Ready[0], &Reply, 1), 1);
  ::close(Ready[0]);
  // With a lock directory the file decides; without one the lock cannot be had, and the program
  // runs rather than yield to a stranger.
  const Result Expected = GetParam() == LockDirectory::Usable ? Result::Acquired : Result::Failed;
  InstanceLock Lock;
  EXPECT_EQ(Lock.Acquire(Listening), Expected);
  EXPECT_EQ(Lock.Acquire(Bound), Expected);
  ::kill(Squatter, SIGKILL);
  ::waitpid(Squatter, nullptr, 0);
}

TEST(InstanceLockSocketName, HoldsTheUserAndStaysDistinctAndShort) {
  const std::string User = "quillet-instance/" + std::to_string(::geteuid()) + "/";
  EXPECT_EQ(InstanceLockSocketName("quillet/s"), User + "quillet%2Fs");
  const std::string Long(300, 'x');
  const std::string Names[] = {Long, Long + "y", "y" + Long, Long + "%23", Long + "#"};
  std::vector<std::string> Seen;
  for (const std::string& Name : Names) {
    const std::string Socket = InstanceLockSocketName(Name);
    EXPECT_LE(Socket.size(), sizeof(sockaddr_un::sun_path) - 1);
    EXPECT_EQ(Socket.compare(0, User.size(), User), 0);
    for (const std::string& Other : Seen) EXPECT_NE(Socket, Other);
    Seen.push_back(Socket);
  }
}

INSTANTIATE_TEST_SUITE_P(LockDirectories, InstanceLockTest,
                         ::testing::Values(LockDirectory::Usable, LockDirectory::Missing,
                                           LockDirectory::Refused),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace quillet
