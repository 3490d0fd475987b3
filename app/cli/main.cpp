// tarvo: the command-line mirror of the program's displays. Reads its data
// from the working directory, or from --data DIR.
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/command_registry.h"
#include "app/cli/shared_options.h"

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
  std::fprintf(out, "usage: tarvo [--data DIR] COMMAND [ARGS]\n");
  auto commands = tarvo::cli::registeredCommands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const auto& c : commands) std::fprintf(out, "  tarvo %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  previousMessageHandler = qInstallMessageHandler(quietMessageHandler);
  std::vector<std::string> args(argv + 1, argv + argc);
  // --data DIR may stand anywhere; the program reads its files from the
  // working directory, so it becomes the working directory.
  if (const std::string error = tarvo::cli::takeDataDirectory(args); !error.empty()) {
    std::fprintf(stderr, "tarvo: %s\n", error.c_str());
    return tarvo::cli::kExitUsage;
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    printUsage(args.empty() ? stderr : stdout);
    return args.empty() ? tarvo::cli::kExitUsage : 0;
  }
  for (const auto& c : tarvo::cli::registeredCommands()) {
    if (args[0] == c.name) return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  std::fprintf(stderr, "tarvo: unknown command '%s'\n", args[0].c_str());
  printUsage(stderr);
  return tarvo::cli::kExitUsage;
}
