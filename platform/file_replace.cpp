// Atomic file replacement through a temporary file and rename(2).
#include "platform/file_replace.h"

#include <atomic>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

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

// Creates a new file beside Target with a name no one else uses; -1 on failure.
int CreateTemporary(const std::filesystem::path& Target, std::filesystem::path& Temporary) {
  static std::atomic<unsigned> Counter{0};
  const std::filesystem::path Dir = Target.has_parent_path() ? Target.parent_path() : ".";
  std::string Stem = ".";
  Stem += Target.filename().string();
  Stem += ".tmp-";
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

  std::filesystem::path Temporary;
  const int Fd = CreateTemporary(Real, Temporary);
  if (Fd < 0) return LastError();

  struct stat Old {};
  bool Ok = WriteAll(Fd, Content);
  if (Ok && ::stat(Real.c_str(), &Old) == 0) Ok = ::fchmod(Fd, Old.st_mode & 07777) == 0;
  if (Ok) Ok = ::fsync(Fd) == 0;
  std::error_code Failure = Ok ? std::error_code{} : LastError();
  if (::close(Fd) != 0 && !Failure) Failure = LastError();
  if (!Failure && ::rename(Temporary.c_str(), Real.c_str()) != 0) Failure = LastError();
  if (Failure) {
    ::unlink(Temporary.c_str());
    return Failure;
  }
  SyncDirectory(Real.parent_path());
  return {};
}

}  // namespace quillet
