#include "app/cli/completion.h"

namespace tarvo::cli {

namespace {

std::string joined(const std::vector<std::string>& words) {
  std::string s;
  for (const std::string& w : words) s += (s.empty() ? "" : " ") + w;
  return s;
}

// The case arms for the word before the cursor: what each option's value
// completes to, nothing for an option whose values are typed.
std::string valueArms(const std::vector<OptionText>& options) {
  std::string s;
  for (const OptionText& o : options) {
    if (o.valueCount == 0) continue;
    s += "        " + o.name + ") ";
    switch (o.completion) {
      case ValueCompletion::Words: s += "COMPREPLY=($(compgen -W \"" + joined(o.words) + "\" -- \"$cur\"))"; break;
      case ValueCompletion::File: s += "COMPREPLY=($(compgen -f -- \"$cur\"))"; break;
      case ValueCompletion::Directory: s += "COMPREPLY=($(compgen -d -- \"$cur\"))"; break;
      case ValueCompletion::None: s += "COMPREPLY=()"; break;
    }
    s += "; return ;;\n";
  }
  return s;
}

}  // namespace

std::string bashCompletionScript(const std::vector<CommandSyntax>& commands) {
  std::vector<std::string> names;
  for (const CommandSyntax& c : commands) names.push_back(c.name);
  std::string s =
      "# bash completion for tarvo, written by `tarvo --bash-completion` from its option tables.\n"
      "_tarvo() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= i\n"
      "  COMPREPLY=()\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    case ${COMP_WORDS[i]} in\n"
      "      --data) ((i++)) ;;\n"
      "      -*) ;;\n"
      "      *) command=${COMP_WORDS[i]}; break ;;\n"
      "    esac\n"
      "  done\n"
      "  if [[ $prev == --data ]]; then COMPREPLY=($(compgen -d -- \"$cur\")); return; fi\n"
      "  case $command in\n"
      "    '') COMPREPLY=($(compgen -W \"" + joined(names) + " help --data --help --version --bash-completion\" -- \"$cur\")) ;;\n"
      "    help) COMPREPLY=($(compgen -W \"" + joined(names) + "\" -- \"$cur\")) ;;\n";
  for (const CommandSyntax& c : commands) {
    std::vector<std::string> optionNames;
    for (const OptionText& o : c.options) optionNames.push_back(o.name);
    optionNames.emplace_back("--help");
    s += "    " + c.name + ")\n      case $prev in\n" + valueArms(c.options) + "      esac\n";
    s += "      [[ $cur == -* ]] && COMPREPLY=($(compgen -W \"" + joined(optionNames) + "\" -- \"$cur\")) ;;\n";
  }
  s += "  esac\n}\ncomplete -F _tarvo tarvo\n";
  return s;
}

}  // namespace tarvo::cli
