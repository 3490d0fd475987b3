#include "base/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tarvo {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// The file a write to path lands in: the target of a symbolic link (so the
// link is kept), path itself otherwise.
std::string resolvedTarget(const std::string& path) {
  struct stat linkStat {};
  if (::lstat(path.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  // A dangling link: write where it points.
  char target[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
  if (n <= 0) return path;
  target[n] = '\0';
  if (target[0] == '/') return target;
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string(target) : path.substr(0, slash + 1) + target;
}

std::string directoryOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes all of bytes to fd; the errno of the failure, 0 on success.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// A temporary file beside the target, created empty, with the permissions the
// new file is to have.
struct Temporary {
  std::string path;
  int fd = -1;
  int error = 0;
};

Temporary createTemporary(const std::string& target, const struct stat* old) {
  Temporary t;
  std::string pattern = directoryOf(target) + "/." + fileNameOf(target) + ".XXXXXX";
  t.fd = ::mkstemp(pattern.data());
  if (t.fd < 0) {
    t.error = errno;
    return t;
  }
  t.path = pattern;
  mode_t mode;
  if (old != nullptr) {
    mode = old->st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(t.fd, mode) != 0) t.error = errno;
  return t;
}

// Flushes the temporary file to the disk, closes it and gives it the target's
// name; removes it on failure. Returns the errno of the failure, 0 on success.
int commitTemporary(Temporary& t, const std::string& target) {
  int error = t.error;
  if (error == 0 && ::fsync(t.fd) != 0) error = errno;
  if (::close(t.fd) != 0 && error == 0) error = errno;
  t.fd = -1;
  if (error == 0 && ::rename(t.path.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(t.path.c_str());
    return error;
  }
  // The new name is durable once the folder is flushed too (best effort: some
  // file systems cannot flush a folder).
  const int dir = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

// The target's file, checked: nullopt-like error when it exists and is not a
// regular file.
int checkTarget(const std::string& target, struct stat& old, bool& exists) {
  exists = false;
  if (::stat(target.c_str(), &old) != 0) return errno == ENOENT ? 0 : errno;
  exists = true;
  if (S_ISDIR(old.st_mode)) return EISDIR;
  if (!S_ISREG(old.st_mode)) return -1;
  return 0;
}

std::string targetReason(int error) { return error == -1 ? "not a regular file" : systemReason(error); }

}  // namespace

FileWrite writeFileWhole(const std::string& path, std::string_view bytes) {
  return writeFileWholeWith(path, [&](const std::string& temporary) -> std::string {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return systemReason(errno);
    const int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) return systemReason(errno);
    return error == 0 ? std::string() : systemReason(error);
  });
}

FileWrite writeFileWholeWith(const std::string& path,
                             const std::function<std::string(const std::string&)>& writeTemporary) {
  if (path.empty()) return {systemReason(ENOENT)};
  const std::string target = resolvedTarget(path);
  struct stat old {};
  bool exists = false;
  if (const int e = checkTarget(target, old, exists); e != 0) return {targetReason(e)};
  Temporary t = createTemporary(target, exists ? &old : nullptr);
  if (t.fd < 0) return {systemReason(t.error)};
  if (t.error == 0) {
    if (std::string why = writeTemporary(t.path); !why.empty()) {
      ::close(t.fd);
      ::unlink(t.path.c_str());
      return {why};
    }
  }
  if (const int e = commitTemporary(t, target); e != 0) return {systemReason(e)};
  return {};
}

}  // namespace tarvo
