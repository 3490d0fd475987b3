// Files written whole or not at all: the bytes go to a temporary file beside
// the target, are flushed to the disk and checked, and only then take the
// target's name. On any failure the old file stays as it was, byte for byte,
// and the reason is the system's ("No space left on device").
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

// The outcome of writing a file: why it was not written, in the system's
// words ("Permission denied"); empty when it was.
struct FileWrite {
  std::string error;
  bool written() const { return error.empty(); }
};

// Writes bytes as the whole new content of path. A symbolic link is followed
// (the file it names is replaced, the link stays); an existing target that is
// not a regular file (a folder, a pipe, a device) is refused. The new file
// keeps the old one's permissions, or gets the usual ones (0666 less the
// umask) when there was none.
[[nodiscard]] FileWrite writeFileWhole(const std::string& path, std::string_view bytes);

// The same for a writer that needs a file name of its own (a PDF printer):
// writeTemporary writes the file named by its argument and returns the
// reason it failed, empty on success; the file is then checked, flushed and
// renamed as above.
[[nodiscard]] FileWrite writeFileWholeWith(const std::string& path,
                                           const std::function<std::string(const std::string&)>& writeTemporary);

}  // namespace tarvo
