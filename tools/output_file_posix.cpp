// Output files through POSIX calls: links followed by hand, the new file made with
// O_CREAT | O_EXCL under a random name beside the target, rename(2) into place.
#include "tools/output_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/os_posix/temporary_file_guard.h"

namespace quillet {

namespace {

constexpr int MaxLinkHops = 40;
constexpr int CreateAttempts = 100;
// Room in a file name for the dot, the suffix and its random part.
constexpr size_t MaxBaseInTemporaryName = 200;

bool Fail(std::string& Error) {
  Error = std::strerror(errno);
  return false;
}

// The directory part of a path ("." for a bare name) and its last component.
struct TPathParts {
  std::string Dir;
  std::string Base;
};

TPathParts SplitPath(const std::string& Path) {
  const size_t Slash = Path.rfind('/');
  if (Slash == std::string::npos) return {std::string(1, '.'), Path};
  return {Path.substr(0, Slash == 0 ? 1 : Slash), Path.substr(Slash + 1)};
}

// Path with the symbolic links at its end followed as far as they lead. A loop or a link that
// cannot be read leaves the name where it stopped; opening it then reports the error.
std::string FollowLinks(std::string Path) {
  for (int Hop = 0; Hop < MaxLinkHops; ++Hop) {
    struct stat Info {};
    if (::lstat(Path.c_str(), &Info) != 0 || !S_ISLNK(Info.st_mode)) return Path;
    char Target[PATH_MAX];
    const ssize_t Length = ::readlink(Path.c_str(), Target, sizeof(Target));
    if (Length <= 0 || static_cast<size_t>(Length) >= sizeof(Target)) return Path;
    const std::string Link(Target, static_cast<size_t>(Length));
    if (Link[0] == '/') {
      Path = Link;
    } else {
      Path = SplitPath(Path).Dir;
      Path += '/';
      Path += Link;
    }
  }
  return Path;
}

std::string RandomSuffix() {
  unsigned char Bytes[6];
  if (::getrandom(Bytes, sizeof(Bytes), GRND_NONBLOCK) != static_cast<ssize_t>(sizeof(Bytes))) {
    timespec Now {};
    ::clock_gettime(CLOCK_MONOTONIC, &Now);
    const uint64_t Mixed = static_cast<uint64_t>(Now.tv_nsec) * 0x9E3779B97F4A7C15ull ^
                           static_cast<uint64_t>(::getpid()) << 20 ^ static_cast<uint64_t>(Now.tv_sec);
    std::memcpy(Bytes, &Mixed, sizeof(Bytes));
  }
  static const char Digits[] = "0123456789abcdef";
  std::string Suffix;
  for (const unsigned char B : Bytes) {
    Suffix += Digits[B >> 4];
    Suffix += Digits[B & 15];
  }
  return Suffix;
}

// Write, then everything flushed; the stream is closed either way.
bool WriteAndClose(std::FILE* Stream, const TOutputWriter& Write, bool Sync, std::string& Error) {
  bool Ok = Write(Stream, Error);
  if (std::fflush(Stream) != 0 && Ok) Ok = Fail(Error);
  if (Ok && Sync && ::fsync(::fileno(Stream)) != 0) Ok = Fail(Error);
  if (std::fclose(Stream) != 0 && Ok) Ok = Fail(Error);
  return Ok;
}

bool WriteToStandardOutput(const TOutputWriter& Write, std::string& Error) {
  bool Ok = Write(stdout, Error);
  if (std::fflush(stdout) != 0 && Ok) Ok = Fail(Error);
  return Ok;
}

// The new content beside Target, renamed over it once complete. Existing: Target's status.
bool ReplaceFile(const std::string& Target, const struct stat* Existing, const TOutputWriter& Write,
                 std::string& Error) {
  const TPathParts Parts = SplitPath(Target);
  std::string Stem = Parts.Dir;
  Stem += "/.";
  Stem += Parts.Base.substr(0, MaxBaseInTemporaryName);
  Stem += ".tmp-";
  TTemporaryFileGuard Guard;
  std::string Temporary;
  int Fd = -1;
  for (int Attempt = 0; Attempt < CreateAttempts && Fd < 0; ++Attempt) {
    Temporary = Stem;
    Temporary += RandomSuffix();
    Fd = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (Fd < 0 && errno != EEXIST) return Fail(Error);
  }
  if (Fd < 0) return Fail(Error);
  Guard.Created(Temporary);

  bool Ok = !Existing || ::fchmod(Fd, Existing->st_mode & 0777) == 0 || Fail(Error);
  std::FILE* Stream = Ok ? ::fdopen(Fd, "wb") : nullptr;
  if (Ok && !Stream) Ok = Fail(Error);
  if (Stream)
    Ok = WriteAndClose(Stream, Write, true, Error);
  else
    ::close(Fd);
  if (Ok && ::rename(Temporary.c_str(), Target.c_str()) != 0) Ok = Fail(Error);
  if (!Ok) ::unlink(Temporary.c_str());
  Guard.Settled();
  return Ok;
}

}  // namespace

bool WriteOutputFile(const std::string& Path, const TOutputWriter& Write, std::string& Error) {
  if (Path == "-") return WriteToStandardOutput(Write, Error);
  const std::string Target = FollowLinks(Path);
  struct stat Info {};
  if (::stat(Target.c_str(), &Info) != 0) {
    if (errno != ENOENT) return Fail(Error);
    return ReplaceFile(Target, nullptr, Write, Error);
  }
  if (S_ISDIR(Info.st_mode)) {
    errno = EISDIR;
    return Fail(Error);
  }
  if (S_ISREG(Info.st_mode)) return ReplaceFile(Target, &Info, Write, Error);

  // A device or a FIFO takes the content as it comes (a FIFO waits for its reader here).
  const int Fd = ::open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (Fd < 0) return Fail(Error);
  struct stat Opened {};
  if (::fstat(Fd, &Opened) != 0) {
    const bool Ok = Fail(Error);
    ::close(Fd);
    return Ok;
  }
  if (S_ISREG(Opened.st_mode)) {
    // A regular file now, since it was looked at: writing into it would mix two contents.
    ::close(Fd);
    return ReplaceFile(Target, &Opened, Write, Error);
  }
  std::FILE* Stream = ::fdopen(Fd, "wb");
  if (!Stream) {
    const bool Ok = Fail(Error);
    ::close(Fd);
    return Ok;
  }
  return WriteAndClose(Stream, Write, false, Error);
}

}  // namespace quillet
