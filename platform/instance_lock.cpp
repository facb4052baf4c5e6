// The instance lock: an flock()ed file per name. flock belongs to the open file, so the kernel
// drops it when the holder exits or crashes; the files themselves are left in place, because
// removing a lock file while another process opens it would let two holders in.
#include "instance_lock.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

// Encoded names are cut into pieces of this many bytes; all but the last become directories.
// Far below the 255-byte limit of one file name, with room for the suffixes.
constexpr size_t PieceLength = 200;

bool IsPlainByte(unsigned char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' ||
         C == '_' || C == '.';
}

// A directory that only this user can reach: made with mode 0700 if missing, accepted only if it
// is a real directory owned by this user and closed to others.
bool EnsurePrivateDirectory(const std::string& Path) {
  if (::mkdir(Path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat Info{};
  if (::lstat(Path.c_str(), &Info) != 0) return false;
  return S_ISDIR(Info.st_mode) && Info.st_uid == ::geteuid() && (Info.st_mode & 0077) == 0;
}

}  // namespace

std::string InstanceLockDirectory() {
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string Dir;
  if (Runtime && Runtime[0] == '/') {
    Dir = std::string(Runtime) + "/quillet";
  } else {
    Dir = "/tmp/quillet-" + std::to_string(::geteuid());
  }
  return EnsurePrivateDirectory(Dir) ? Dir : std::string();
}

std::string InstanceLockRelativePath(std::string_view Name) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string Encoded;
  Encoded.reserve(Name.size() * 3);
  for (const char Ch : Name) {
    const auto C = static_cast<unsigned char>(Ch);
    if (IsPlainByte(C)) {
      Encoded += Ch;
    } else {
      Encoded += '%';
      Encoded += Hex[C >> 4];
      Encoded += Hex[C & 0xF];
    }
  }
  // Directory pieces end in ".d" and the file in ".lock", so no piece of one name can collide
  // with the file of another.
  std::string Path;
  size_t Pos = 0;
  while (Encoded.size() - Pos > PieceLength) {
    Path.append(Encoded, Pos, PieceLength).append(".d/");
    Pos += PieceLength;
  }
  Path.append(Encoded, Pos).append(".lock");
  return Path;
}

InstanceLock::Result InstanceLock::Acquire(std::string_view Name) {
  Release();
  const std::string Dir = InstanceLockDirectory();
  if (Dir.empty()) return Result::Failed;

  const std::string Relative = InstanceLockRelativePath(Name);
  std::string Path = Dir;
  for (size_t Start = 0, Slash; (Slash = Relative.find('/', Start)) != std::string::npos;
       Start = Slash + 1) {
    Path += '/';
    Path.append(Relative, Start, Slash - Start);
    if (!EnsurePrivateDirectory(Path)) return Result::Failed;
  }
  Path = Dir + '/' + Relative;

  const int File = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (File < 0) return Result::Failed;
  int Status;
  do {
    Status = ::flock(File, LOCK_EX | LOCK_NB);
  } while (Status != 0 && errno == EINTR);
  if (Status != 0) {
    const bool Busy = errno == EWOULDBLOCK;
    ::close(File);
    return Busy ? Result::AlreadyHeld : Result::Failed;
  }
  Fd = File;
  return Result::Acquired;
}

void InstanceLock::Release() {
  if (Fd < 0) return;
  ::close(Fd);
  Fd = -1;
}

}  // namespace quillet
