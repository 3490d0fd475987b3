// A user's locale for a test ("de_DE.UTF-8", "tr_TR.UTF-8"): taken from the
// system when it is installed, else made with localedef from the Debian
// package "locales" into a folder of the build and found through LOCPATH.
#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tarvo::testing {

// Makes name usable by setlocale in this process (and its children, through
// LOCPATH); the reason when it cannot be made, empty when it can.
inline std::string makeLocaleAvailable(const std::string& name, const std::string& folder) {
  if (std::setlocale(LC_ALL, name.c_str()) != nullptr) {
    std::setlocale(LC_ALL, "C");
    return {};
  }
  const std::string::size_type dot = name.find('.');
  if (dot == std::string::npos) return "locale " + name + " names no character set";
  const std::filesystem::path made = std::filesystem::path(folder) / name;
  std::error_code ec;
  if (!std::filesystem::exists(made / "LC_NUMERIC", ec)) {
    // Made under a name of its own, then renamed: tests running at once
    // never see half a locale.
    std::filesystem::create_directories(folder, ec);
    const std::string part = made.string() + ".part" + std::to_string(::getpid());
    const std::string command = "localedef -i " + name.substr(0, dot) + " -f UTF-8 '" + part + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    std::filesystem::rename(part, made, ec);
    std::filesystem::remove_all(part, ec);
    if (status != 0 && !std::filesystem::exists(made / "LC_NUMERIC", ec))
      return "cannot make locale " + name + " (localedef from the package locales failed or is missing)";
  }
  ::setenv("LOCPATH", folder.c_str(), 1);
  if (std::setlocale(LC_ALL, name.c_str()) == nullptr) return "locale " + name + " made but not usable";
  std::setlocale(LC_ALL, "C");
  return {};
}

}  // namespace tarvo::testing
