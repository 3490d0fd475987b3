// Sub-commands of the tarvo command line register themselves here: each lives
// in its own cmd_*.cpp file with a static CommandRegistration.
#pragma once

#include <string>
#include <vector>

#include "app/cli/option_parser.h"

namespace tarvo::cli {

// Exit codes shared by the sub-commands.
inline constexpr int kExitShown = 0;
inline constexpr int kExitNoCatalogue = 2;
inline constexpr int kExitEndOfCatalogue = 3;
inline constexpr int kExitSarosNotFound = 4;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitOutOfMemory = 70;  // a picture larger than the memory there is (EX_SOFTWARE)

// args excludes the program and sub-command names. Returns the exit code.
using CommandFn = int (*)(const std::vector<std::string>& args);

// The command's parser, described: its usage line for `tarvo --help`, its
// help and its options for the completion script.
using SyntaxFn = CommandSyntax (*)();

struct Command {
  const char* name;
  SyntaxFn syntax;
  CommandFn run;
};

struct CommandRegistration {
  explicit CommandRegistration(Command c);
};

const std::vector<Command>& registeredCommands();

}  // namespace tarvo::cli
