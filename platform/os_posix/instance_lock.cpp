// The instance lock: an flock()ed file per name. flock belongs to the open file, so the kernel
// drops it when the holder exits or crashes; the files themselves are left in place, because
// removing a lock file while another process opens it would let two holders in.
//
// Without a usable lock directory, a listening abstract-namespace Unix socket holds the name
// instead. Its name vanishes with the socket, also when the holder crashes, and binding it is
// atomic, so one holder wins however many copies start at once.
#include "platform/instance_lock.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillet {

namespace {

// Encoded names are cut into pieces of this many bytes; all but the last become directories.
// Far below the 255-byte limit of one file name, with room for the suffixes.
constexpr size_t PieceLength = 200;

// Abstract socket names have the room of sun_path less its leading zero byte.
constexpr size_t MaxSocketName = sizeof(sockaddr_un::sun_path) - 1;

constexpr char HexDigits[] = "0123456789ABCDEF";

bool IsPlainByte(unsigned char C) {
  return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' ||
         C == '_' || C == '.';
}

std::string EncodeName(std::string_view Name) {
  std::string Encoded;
  Encoded.reserve(Name.size() * 3);
  for (const char Ch : Name) {
    const auto C = static_cast<unsigned char>(Ch);
    if (IsPlainByte(C)) {
      Encoded += Ch;
    } else {
      Encoded += '%';
      Encoded += HexDigits[C >> 4];
      Encoded += HexDigits[C & 0xF];
    }
  }
  return Encoded;
}

uint64_t Fnv1a(std::string_view Bytes, uint64_t Hash) {
  for (const char C : Bytes) {
    Hash ^= static_cast<unsigned char>(C);
    Hash *= 0x100000001B3u;
  }
  return Hash;
}

void AppendHex(std::string& Out, uint64_t Value) {
  for (int Shift = 60; Shift >= 0; Shift -= 4) Out += HexDigits[(Value >> Shift) & 0xF];
}

// A directory that only this user can reach: made with mode 0700 if missing, accepted only if it
// is a real directory owned by this user and closed to others.
bool EnsurePrivateDirectory(const std::string& Path) {
  if (::mkdir(Path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat Info{};
  if (::lstat(Path.c_str(), &Info) != 0) return false;
  return S_ISDIR(Info.st_mode) && Info.st_uid == ::geteuid() && (Info.st_mode & 0077) == 0;
}

class SocketAddress {
 public:
  explicit SocketAddress(const std::string& Name) {
    Address.sun_family = AF_UNIX;
    std::memcpy(Address.sun_path + 1, Name.data(), Name.size());  // sun_path[0] = 0: abstract
    Length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + Name.size());
  }
  const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&Address); }
  socklen_t Size() const { return Length; }

 private:
  sockaddr_un Address{};
  socklen_t Length;
};

enum class Holder { ThisUser, OtherUser, NotListening };

// Who holds a bound name. Connecting leaves a closed connection in the holder's queue until it
// ends; once that queue is full, the listener is taken to be a copy of ours.
Holder HolderOf(const SocketAddress& Address) {
  const int Probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (Probe < 0) return Holder::ThisUser;
  Holder Result = Holder::NotListening;
  if (::connect(Probe, Address.Get(), Address.Size()) == 0) {
    ucred Peer{};
    socklen_t Size = sizeof Peer;
    const bool Known = ::getsockopt(Probe, SOL_SOCKET, SO_PEERCRED, &Peer, &Size) == 0;
    Result = Known && Peer.uid != ::geteuid() ? Holder::OtherUser : Holder::ThisUser;
  } else if (errno == EAGAIN) {
    Result = Holder::ThisUser;
  }
  ::close(Probe);
  return Result;
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
  const std::string Encoded = EncodeName(Name);
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

std::string InstanceLockSocketName(std::string_view Name) {
  const std::string Prefix = "quillet-instance/" + std::to_string(::geteuid()) + '/';
  const std::string Encoded = EncodeName(Name);
  if (Prefix.size() + Encoded.size() <= MaxSocketName) return Prefix + Encoded;
  // Too long to stand as it is: 128 bits of two differently seeded hashes and the length. '#' is
  // always encoded in a name, so these never meet a name that stands as it is.
  std::string Digest = Prefix + '#';
  AppendHex(Digest, Fnv1a(Encoded, 0xCBF29CE484222325u));
  AppendHex(Digest, Fnv1a(Encoded, 0x84222325CBF29CE4u));
  Digest += '-';
  Digest += std::to_string(Encoded.size());
  return Digest;
}

InstanceLock::Result InstanceLock::Acquire(std::string_view Name) {
  Release();
  const Result ByFile = AcquireFile(Name);
  // Running every copy because a directory is missing or refused would break the one-copy rule.
  return ByFile == Result::Failed ? AcquireSocket(Name) : ByFile;
}

InstanceLock::Result InstanceLock::AcquireFile(std::string_view Name) {
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

InstanceLock::Result InstanceLock::AcquireSocket(std::string_view Name) {
  const SocketAddress Address(InstanceLockSocketName(Name));
  const int Socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (Socket < 0) return Result::Failed;
  // A holder that has bound the name but does not listen yet refuses connections for a moment; a
  // name that stays so for 200 ms is no copy of ours.
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    if (::bind(Socket, Address.Get(), Address.Size()) == 0) {
      if (::listen(Socket, SOMAXCONN) != 0) break;
      Fd = Socket;
      return Result::Acquired;
    }
    if (errno != EADDRINUSE) break;
    const Holder Found = HolderOf(Address);
    if (Found != Holder::NotListening) {
      ::close(Socket);
      // This user's name taken by another user is squatted, not held: run rather than yield.
      return Found == Holder::ThisUser ? Result::AlreadyHeld : Result::Failed;
    }
    const timespec Pause{0, 2'000'000};
    ::nanosleep(&Pause, nullptr);
  }
  ::close(Socket);
  return Result::Failed;
}

void InstanceLock::Release() {
  if (Fd < 0) return;
  ::close(Fd);
  Fd = -1;
}

}  // namespace quillet
