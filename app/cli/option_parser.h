// One table of a command's arguments: each option carries its usage text, the
// description of its values and what it does with them. The usage line, the
// help (`tarvo help COMMAND`, `tarvo COMMAND --help`) and the bash completion
// script are all written from it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

// What a shell may offer for an option's value.
enum class ValueCompletion { None, Words, File, Directory };

// One option of a command. apply returns an error message, empty when the
// values were accepted.
struct OptionRule {
  std::string name{};    // "--next"
  std::string argument{};  // its values as usage writes them, one word each: "N", "LON LAT HEIGHT"; empty for a flag
  std::string help{};    // what it does, for the help
  std::function<std::string(const std::vector<std::string>& values)> apply{};
  std::string valueError{};  // the message when fewer values follow than the argument names
  ValueCompletion completion = ValueCompletion::None;
  std::vector<std::string> words{};  // the values a shell offers with ValueCompletion::Words

  int valueCount() const;
  std::string usage() const;  // "--next N"
};

// A command as its help and the completion script describe it: plain text,
// taken from its parser.
struct OptionText {
  std::string usage, help;
  std::string name;
  int valueCount = 0;
  ValueCompletion completion = ValueCompletion::None;
  std::vector<std::string> words;
};
struct CommandSyntax {
  std::string name, usage, summary;  // usage without "tarvo "
  std::vector<std::string> positionalHelp;  // "YEAR MONTH  the month landed on ..." lines
  std::vector<OptionText> options;
};

class OptionParser {
 public:
  // command names the sub-command in messages; summary says in a sentence
  // what it does.
  OptionParser(std::string command, std::string summary);

  // The usage line is written in the order of these calls.
  // Positional arguments as usage writes them ("YEAR MONTH", "[YEAR MONTH]"),
  // with a line of help.
  void addPositional(std::string usage, std::string help);
  // An option written "[--grid]".
  void add(OptionRule rule);
  // An option the command needs, written "--out FILE.png".
  void addRequired(OptionRule rule);
  // Options of which one may be given, "[--next N | --prev N]", or one must
  // be, "(--city NAME | --site LON LAT HEIGHT)".
  void addEither(std::vector<OptionRule> rules, bool required);
  // An option that goes with one added before, written inside its brackets:
  // "[--png FILE [--size WxH]]".
  void addWithin(const std::string& outer, OptionRule rule);

  // Reads args (the sub-command's arguments): options anywhere, everything
  // else positional. An argument starting with "-" and then neither a digit
  // nor "." is an option (so negative years stay positional). Returns the
  // exit code when the command is to stop: 0 after printing the help for
  // --help or -h, the usage exit code after printing an error with the usage
  // on standard error; nothing when the command goes on.
  std::optional<int> parse(const std::vector<std::string>& args);

  const std::vector<std::string>& positional() const { return positional_; }

  // Prints "tarvo COMMAND: why" and the usage on standard error; returns the
  // usage exit code.
  int usageError(const std::string& why) const;

  std::string usage() const;  // "show YEAR MONTH [--next N | --prev N] ..."
  std::string help() const;   // the usage, the summary and a line per argument
  CommandSyntax syntax() const;

 private:
  struct UsageItem {
    std::string positional;
    std::vector<std::size_t> rules;   // alternatives
    bool required = false;
    std::vector<std::size_t> within;  // options written inside this item's brackets
  };
  std::string command_;
  std::string summary_;
  std::vector<OptionRule> options_;
  std::vector<UsageItem> items_;
  std::vector<std::string> positionalHelp_;
  std::vector<std::string> positional_;
};

}  // namespace tarvo::cli
