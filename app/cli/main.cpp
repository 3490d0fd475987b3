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
#include "app/cli/completion.h"
#include "app/cli/shared_options.h"
#include "app/data_paths.h"
#include "catalogue/canon_cache.h"

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

std::vector<tarvo::cli::Command> commandsByName() {
  auto commands = tarvo::cli::registeredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  return commands;
}

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: tarvo [--data DIR] COMMAND [ARGS]\n"
               "       tarvo help [COMMAND]\n"
               "       tarvo COMMAND --help\n"
               "       tarvo --version\n"
               "       tarvo --bash-completion\n");
  for (const auto& c : commandsByName()) std::fprintf(out, "  tarvo %s\n", c.syntax().usage.c_str());
}

const tarvo::cli::Command* commandNamed(const std::string& name) {
  for (const auto& c : tarvo::cli::registeredCommands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

int unknownCommand(const std::string& name) {
  std::fprintf(stderr, "tarvo: unknown command '%s'\n", name.c_str());
  printUsage(stderr);
  return tarvo::cli::kExitUsage;
}

// Standard output is checked once for every command, at the end of main.
int finishOutput() { return 0; }

// `tarvo help [COMMAND]`: the usage of every command, or one command's help.
int runHelp(const std::vector<std::string>& args) {
  if (args.size() > 1) return unknownCommand(args[0] + " " + args[1]);
  if (args.empty()) {
    printUsage(stdout);
    return finishOutput();
  }
  const tarvo::cli::Command* command = commandNamed(args[0]);
  if (command == nullptr) return unknownCommand(args[0]);
  return command->run({"--help"});
}

int printBashCompletion() {
  std::vector<tarvo::cli::CommandSyntax> syntax;
  for (const auto& c : commandsByName()) syntax.push_back(c.syntax());
  const std::string script = tarvo::cli::bashCompletionScript(syntax);
  std::fwrite(script.data(), 1, script.size(), stdout);
  return finishOutput();
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
    return finishOutput();
  }
  if (!args.empty() && args[0] == "--bash-completion") return printBashCompletion();
  if (!args.empty() && args[0] == "help") return runHelp({args.begin() + 1, args.end()});
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
  tarvo::setDefaultCanonCacheDirectory(tarvo::findCacheDirectory(places));
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    if (args.empty()) {
      printUsage(stderr);
      return tarvo::cli::kExitUsage;
    }
    printUsage(stdout);
    return finishOutput();
  }
  const tarvo::cli::Command* command = commandNamed(args[0]);
  if (command == nullptr) return unknownCommand(args[0]);
  const int status = command->run(std::vector<std::string>(args.begin() + 1, args.end()));
  if (status == tarvo::cli::kExitNoCatalogue && !lookup.directory)
    std::fprintf(stderr, "tarvo: %s\n", tarvo::describeNotFound(lookup).c_str());
  return status;
}

}  // namespace
