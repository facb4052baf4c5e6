// Atomic file replacement through a temporary file and rename(2).
#include "platform/file_replace.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os_posix/temporary_file_guard.h"

namespace quillet {

namespace {

constexpr time_t AbandonedAfterSeconds = 10;

std::error_code LastError() { return {errno, std::generic_category()}; }

bool WriteAll(int Fd, std::string_view Content) {
  while (!Content.empty()) {
    const ssize_t Written = ::write(Fd, Content.data(), Content.size());
    if (Written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Content.remove_prefix(static_cast<size_t>(Written));
  }
  return true;
}

// Temporary files are named ".<target>.tmp-<pid>-<n>" beside their target.
std::string TemporaryPrefix(const std::filesystem::path& Target) {
  std::string Prefix = ".";
  Prefix += Target.filename().string();
  Prefix += ".tmp-";
  return Prefix;
}

std::filesystem::path TargetDirectory(const std::filesystem::path& Target) {
  return Target.has_parent_path() ? Target.parent_path() : ".";
}

// The pid in a temporary file's name after its prefix ("<pid>-<n>"), or 0 for any other name.
pid_t TemporaryOwner(std::string_view Rest) {
  const size_t Dash = Rest.find('-');
  if (Dash == 0 || Dash == std::string_view::npos || Dash + 1 == Rest.size() || Dash > 9) return 0;
  const auto IsDigit = [](char C) { return C >= '0' && C <= '9'; };
  if (!std::all_of(Rest.begin(), Rest.end(), [&](char C) { return IsDigit(C) || C == '-'; }) ||
      Rest.find('-', Dash + 1) != std::string_view::npos)
    return 0;
  pid_t Pid = 0;
  for (const char C : Rest.substr(0, Dash)) Pid = Pid * 10 + (C - '0');
  return Pid;
}

// Removes the temporary files of saves that a process did not live to finish (a signal that
// cannot be caught). A file counts only when its process is gone and it has not been written
// for a while (the pid may belong to another pid namespace sharing the directory).
void SweepAbandonedTemporaries(const std::filesystem::path& Target) {
  const std::string Prefix = TemporaryPrefix(Target);
  std::error_code Error;
  std::filesystem::directory_iterator Entries(TargetDirectory(Target), Error);
  if (Error) return;
  const time_t Now = ::time(nullptr);
  for (const std::filesystem::directory_entry& Entry : Entries) {
    const std::string Name = Entry.path().filename().string();
    if (Name.compare(0, Prefix.size(), Prefix) != 0) continue;
    const pid_t Owner = TemporaryOwner(std::string_view(Name).substr(Prefix.size()));
    if (Owner <= 0 || Owner == ::getpid()) continue;
    if (::kill(Owner, 0) == 0 || errno != ESRCH) continue;
    struct stat Info {};
    if (::lstat(Entry.path().c_str(), &Info) != 0 || !S_ISREG(Info.st_mode) || Info.st_uid != ::geteuid() ||
        Now - Info.st_mtime < AbandonedAfterSeconds)
      continue;
    ::unlink(Entry.path().c_str());
  }
}

// Creates a new file beside Target with a name no one else uses; -1 on failure.
int CreateTemporary(const std::filesystem::path& Target, std::filesystem::path& Temporary) {
  static std::atomic<unsigned> Counter{0};
  const std::filesystem::path Dir = TargetDirectory(Target);
  std::string Stem = TemporaryPrefix(Target);
  Stem += std::to_string(::getpid());
  Stem += '-';
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    std::string Name = Stem;
    Name += std::to_string(Counter++);
    Temporary = Dir / Name;
    const int Fd = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (Fd >= 0 || errno != EEXIST) return Fd;
  }
  return -1;
}

void SyncDirectory(const std::filesystem::path& Dir) {
  const int Fd = ::open(Dir.empty() ? "." : Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Fd < 0) return;
  ::fsync(Fd);  // best effort: the rename has already happened
  ::close(Fd);
}

}  // namespace

std::error_code ReplaceFileAtomically(const std::filesystem::path& Target, std::string_view Content) {
  std::error_code Error;
  std::filesystem::path Real = Target;
  if (std::filesystem::is_symlink(Target, Error)) {
    std::filesystem::path Resolved = std::filesystem::weakly_canonical(Target, Error);
    if (!Error) Real = std::move(Resolved);
  }
  if (Real.has_parent_path()) std::filesystem::create_directories(Real.parent_path(), Error);

  SweepAbandonedTemporaries(Real);
  // A signal while the file is written removes it (and a write past the file size limit fails).
  TTemporaryFileGuard Guard;
  std::filesystem::path Temporary;
  const int Fd = CreateTemporary(Real, Temporary);
  if (Fd < 0) return LastError();
  Guard.Created(Temporary.string());

  struct stat Old {};
  bool Ok = WriteAll(Fd, Content);
  if (Ok && ::stat(Real.c_str(), &Old) == 0) Ok = ::fchmod(Fd, Old.st_mode & 07777) == 0;
  if (Ok) Ok = ::fsync(Fd) == 0;
  std::error_code Failure = Ok ? std::error_code{} : LastError();
  if (::close(Fd) != 0 && !Failure) Failure = LastError();
  if (!Failure && ::rename(Temporary.c_str(), Real.c_str()) != 0) Failure = LastError();
  if (Failure) {
    ::unlink(Temporary.c_str());
    Guard.Settled();
    return Failure;
  }
  Guard.Settled();
  SyncDirectory(Real.parent_path());
  return {};
}

}  // namespace quillet
