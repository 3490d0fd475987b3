#include "app/cli/option_parser.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/cli/command_registry.h"

namespace tarvo::cli {

namespace {

bool looksLikeOption(const std::string& a) {
  return a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.';
}

bool asksForHelp(const std::string& a) { return a == "--help" || a == "-h"; }

}  // namespace

int OptionRule::valueCount() const {
  int count = 0;
  bool inWord = false;
  for (const char c : argument) {
    if (c != ' ' && !inWord) ++count;
    inWord = c != ' ';
  }
  return count;
}

std::string OptionRule::usage() const { return argument.empty() ? name : name + " " + argument; }

OptionParser::OptionParser(std::string command, std::string summary)
    : command_(std::move(command)), summary_(std::move(summary)) {}

void OptionParser::addPositional(std::string usage, std::string help) {
  positionalHelp_.push_back(usage + "\t" + help);
  items_.push_back({std::move(usage), {}, true, {}});
}

void OptionParser::add(OptionRule rule) { addEither({std::move(rule)}, false); }

void OptionParser::addRequired(OptionRule rule) { addEither({std::move(rule)}, true); }

void OptionParser::addEither(std::vector<OptionRule> rules, bool required) {
  UsageItem item;
  item.required = required;
  for (OptionRule& r : rules) {
    item.rules.push_back(options_.size());
    options_.push_back(std::move(r));
  }
  items_.push_back(std::move(item));
}

void OptionParser::addWithin(const std::string& outer, OptionRule rule) {
  for (UsageItem& item : items_) {
    for (const std::size_t r : item.rules) {
      if (options_[r].name != outer) continue;
      item.within.push_back(options_.size());
      options_.push_back(std::move(rule));
      return;
    }
  }
  add(std::move(rule));
}

int OptionParser::usageError(const std::string& why) const {
  std::fprintf(stderr, "tarvo %s: %s\nusage: tarvo %s\n", command_.c_str(), why.c_str(), usage().c_str());
  return kExitUsage;
}

std::optional<int> OptionParser::parse(const std::vector<std::string>& args) {
  positional_.clear();
  if (std::any_of(args.begin(), args.end(), asksForHelp)) {
    const std::string text = help();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const OptionRule* rule = nullptr;
    for (const OptionRule& o : options_) {
      if (o.name == a) rule = &o;
    }
    if (rule == nullptr) {
      if (looksLikeOption(a)) return usageError("unknown option " + a);
      positional_.push_back(a);
      continue;
    }
    const std::size_t count = static_cast<std::size_t>(rule->valueCount());
    if (args.size() - i - 1 < count) {
      return usageError(rule->valueError.empty() ? rule->name + " needs a value" : rule->valueError);
    }
    const std::vector<std::string> values(args.begin() + static_cast<long>(i) + 1,
                                          args.begin() + static_cast<long>(i + 1 + count));
    if (const std::string error = rule->apply(values); !error.empty()) return usageError(error);
    i += count;
  }
  return std::nullopt;
}

std::string OptionParser::usage() const {
  std::string line = command_;
  for (const UsageItem& item : items_) {
    line += " ";
    if (!item.positional.empty()) {
      line += item.positional;
      continue;
    }
    const bool bracketed = !item.required || item.rules.size() > 1;
    if (bracketed) line += item.required ? "(" : "[";
    for (std::size_t k = 0; k < item.rules.size(); ++k) {
      line += (k > 0 ? " | " : "") + options_[item.rules[k]].usage();
    }
    for (const std::size_t w : item.within) line += " [" + options_[w].usage() + "]";
    if (bracketed) line += item.required ? ")" : "]";
  }
  return line;
}

std::string OptionParser::help() const {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const std::string& p : positionalHelp_) {
    const std::size_t tab = p.find('\t');
    rows.emplace_back(p.substr(0, tab), p.substr(tab + 1));
  }
  for (const OptionRule& o : options_) rows.emplace_back(o.usage(), o.help);
  std::size_t width = 0;
  for (const auto& [left, right] : rows) width = std::max(width, left.size());
  std::string text = "usage: tarvo " + usage() + "\n\n" + summary_ + "\n\n";
  for (const auto& [left, right] : rows) {
    text += "  " + left + std::string(width - left.size() + 2, ' ') + right + "\n";
  }
  return text;
}

CommandSyntax OptionParser::syntax() const {
  CommandSyntax s{command_, usage(), summary_, positionalHelp_, {}};
  for (const OptionRule& o : options_) {
    s.options.push_back({o.usage(), o.help, o.name, o.valueCount(), o.completion, o.words});
  }
  return s;
}

}  // namespace tarvo::cli
