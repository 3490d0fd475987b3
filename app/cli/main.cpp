// tarvo: the command-line mirror of the program's displays. Finds its data
// directory (--data DIR, the working directory, the user's or the installed
// data; see app/data_paths.h) and works in it.
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/checked_output.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/shared_options.h"
#include "app/data_paths.h"

namespace tarvo::cli {

static std::vector<Command>& registry() {
  static std::vector<Command> commands;
  return commands;
}

CommandRegistration::CommandRegistration(Command c) { registry().push_back(c); }

const std::vector<Command>& registeredCommands() { return registry(); }

}  // namespace tarvo::cli

namespace {

QtMessageHandler previousMessageHandler = nullptr;

// Qt's text renderer, started on its offscreen platform, warns that a machine
// without a desktop session has no runtime directory; it needs none, and the
// command line prints only its own output. Every other message passes on.
void quietMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QStringLiteral("XDG_RUNTIME_DIR not set"))) return;
  if (previousMessageHandler != nullptr) {
    previousMessageHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
  }
}

void printUsage(std::FILE* out) {
  std::fprintf(out, "usage: tarvo [--data DIR] COMMAND [ARGS]\n       tarvo --version\n");
  auto commands = tarvo::cli::registeredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const auto& c : commands) std::fprintf(out, "  tarvo %s\n", c.usage);
}

}  // namespace

namespace {

int runCommandLine(int argc, char** argv);

}  // namespace

// Every command's output is checked at the end: output that did not reach
// standard output turns any status into the output failure.
int main(int argc, char** argv) {
  tarvo::cli::checkStandardOutput();
  int status = runCommandLine(argc, argv);
  if (status == tarvo::cli::kExitShown && tarvo::cli::catalogueDamageReported())
    status = tarvo::cli::kExitEndOfCatalogue;
  if (const std::string why = tarvo::cli::finishStandardOutput(); !why.empty()) {
    std::fprintf(stderr, "tarvo: cannot write standard output: %s\n", why.c_str());
    return tarvo::cli::kExitOutputFailed;
  }
  return status;
}

namespace {

int runCommandLine(int argc, char** argv) {
  previousMessageHandler = qInstallMessageHandler(quietMessageHandler);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::string> dataOption;
  if (const std::string error = tarvo::cli::takeDataDirectory(args, dataOption); !error.empty()) {
    std::fprintf(stderr, "tarvo: %s\n", error.c_str());
    return tarvo::cli::kExitUsage;
  }
  if (!args.empty() && args[0] == "--version") {
    std::printf("tarvo %s\n", TARVO_VERSION);
    return 0;
  }
  // The program reads its files from the working directory, so the data
  // directory found becomes the working directory; without one it stays, and
  // the commands report the missing catalogue as they always have.
  const tarvo::DataLookupInputs places = tarvo::dataLookupInputsOfThisProcess(dataOption);
  const tarvo::DataLookup lookup = tarvo::findDataDirectory(places);
  if (lookup.directory) {
    // A data directory the user did not name: the files the user names
    // stay where tarvo was started. (With --data DIR they are taken in DIR,
    // as they always were.)
    if (!dataOption && *lookup.directory != places.workingDirectory)
      tarvo::cli::anchorOutputFiles(args, places.workingDirectory.string());
    if (chdir(lookup.directory->c_str()) != 0) {
      std::fprintf(stderr, "tarvo: cannot use data directory %s: %s\n", lookup.directory->c_str(),
                   std::strerror(errno));
      return tarvo::cli::kExitUsage;
    }
  }
  tarvo::cli::setSiteFile(tarvo::findSiteFile(places, {}).string());
  {
    std::error_code ec;
    const auto here = std::filesystem::current_path(ec);
    std::string looked;
    for (const auto& place : tarvo::siteFilePlaces(places, here))
      looked += (looked.empty() ? "" : " and ") + place.string();
    tarvo::cli::setSiteFilePlaces(looked);
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    printUsage(args.empty() ? stderr : stdout);
    return args.empty() ? tarvo::cli::kExitUsage : 0;
  }
  for (const auto& c : tarvo::cli::registeredCommands()) {
    if (args[0] != c.name) continue;
    const int status = c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    if (status == tarvo::cli::kExitNoCatalogue && !lookup.directory)
      std::fprintf(stderr, "tarvo: %s\n", tarvo::describeNotFound(lookup).c_str());
    return status;
  }
  std::fprintf(stderr, "tarvo: unknown command '%s'\n", args[0].c_str());
  printUsage(stderr);
  return tarvo::cli::kExitUsage;
}

}  // namespace
