// The bash completion script of tarvo, written from the commands' option
// tables, so that it offers exactly what the parsers accept.
#pragma once

#include <string>
#include <vector>

#include "app/cli/option_parser.h"

namespace tarvo::cli {

// A script for bash's `complete -F`: the commands after "tarvo", each
// command's options, and the values of options with a list of words, a file
// or a directory. Completes nothing after an option with other values.
std::string bashCompletionScript(const std::vector<CommandSyntax>& commands);

}  // namespace tarvo::cli
