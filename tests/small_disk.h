// A small file system of our own (tmpfs) that a test can fill, to see what
// the programs do on a full disk. Mounting needs root (./test runs as root);
// elsewhere the test is skipped with the reason printed.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/catalogue/canon_test_support.h"

namespace tarvo::testing {

class SmallDisk {
 public:
  explicit SmallDisk(const char* size = "256k") {
    const std::string options = std::string("size=") + size;
    if (::mount("tarvo-test", scratch_.path().c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      why_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(scratch_.path().c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& whyNot() const { return why_; }
  const std::filesystem::path& path() const { return scratch_.path(); }

  // Fills the disk to its last byte with a file of filler.
  void fill() const {
    std::ofstream filler(scratch_.path() / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
    filler.clear();
    filler.close();
    std::ofstream bytes(scratch_.path() / "filler-bytes", std::ios::binary);
    while (bytes.put('x') && bytes.flush()) {
    }
  }

 private:
  ScratchDir scratch_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace tarvo::testing
