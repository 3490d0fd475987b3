#include "app/cli/checked_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tarvo::cli {

namespace {

int firstError = 0;         // errno of the first failed write, 0 while none failed
bool closedAtStart = false;  // descriptor 1 was not open when the program started

// The stream's write function: all of the bytes to descriptor 1, or -1 with
// the reason kept.
ssize_t writeStandardOutput(void*, const char* data, size_t size) {
  if (closedAtStart) {
    if (firstError == 0) firstError = EBADF;
    errno = EBADF;
    return -1;
  }
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(STDOUT_FILENO, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (firstError == 0) firstError = n < 0 ? errno : EIO;
      errno = firstError;
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

}  // namespace

void checkStandardOutput() {
  if (::fcntl(STDOUT_FILENO, F_GETFD) < 0 && errno == EBADF) {
    closedAtStart = true;
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd >= 0 && fd != STDOUT_FILENO) {
      ::dup2(fd, STDOUT_FILENO);
      ::close(fd);
    }
  }
  cookie_io_functions_t functions{};
  functions.write = writeStandardOutput;
  if (std::FILE* stream = ::fopencookie(nullptr, "w", functions)) {
    // Line-buffered on a terminal, as the C library does for stdout.
    std::setvbuf(stream, nullptr, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, BUFSIZ);
    std::fflush(stdout);
    stdout = stream;  // glibc's stdout is an ordinary variable, meant to be set
  }
}

std::string finishStandardOutput() {
  const bool flushed = std::fflush(stdout) == 0;
  if (flushed && !std::ferror(stdout) && firstError == 0) return {};
  return std::strerror(firstError != 0 ? firstError : EIO);
}

}  // namespace tarvo::cli
