// tarvo record YEAR MONTH (--city NAME | --site LON LAT HEIGHT) [criteria] STATEMENT [STATEMENT ...]
//              [--delta-t-model M] [--format text|keys|json]
// tarvo record --file RECORDS.csv [--delta-t-model M] [--format text|keys|csv|json]
// ΔT from a recorded eclipse: lands on the eclipse as `tarvo show` does and
// solves the statements ("U1 = moonrise + 1.5 h") for ΔT at the site.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/option_parser.h"
#include "app/cli/shared_options.h"
#include "base/text_format.h"
#include "catalogue/canon_reader.h"
#include "session/landing.h"
#include "session/record_glue.h"
#include "session/session_state.h"

namespace tarvo::cli {
namespace {

enum class RecordFormat { kText, kKeys, kJson, kCsv };
constexpr int kExitBadRecords = 1;
// A records file larger than this is refused.
constexpr std::size_t kMaxRecordsFileBytes = 16u << 20;
const char* const kRecordsHeader = "year,month,longitude,latitude,height,statement";

struct Solved {
  std::vector<Statement> statements;
  SessionRecord record;
  RecordResult result;
};

std::variant<std::vector<Statement>, std::string> parseStatements(const std::vector<std::string>& texts) {
  std::vector<Statement> out;
  for (const std::string& t : texts) {
    auto s = parseStatement(t);
    if (const auto* e = std::get_if<std::string>(&s)) return "statement \"" + t + "\": " + *e;
    out.push_back(std::get<Statement>(s));
  }
  if (out.empty()) return std::string("give at least one STATEMENT, such as \"U1 = moonrise + 1.5 h\"");
  return out;
}

// The eclipse of the state's cursor and the statements solved; an error
// names what is missing (an instant the eclipse lacks, no eclipse).
std::variant<Solved, std::string> solveAt(SessionState& state, CanonReader& reader, const SharedOptions& options,
                                          std::vector<Statement> statements, const std::string& siteName,
                                          int& exitCode) {
  const SteppedLanding run = landAndStep(state, reader, options);
  if (run.outcome != LandingOutcome::Shown) {
    exitCode = reportOutcome(run.outcome, reader);
    return std::string("no eclipse at or after that month");
  }
  std::optional<SessionRecord> record = sessionRecordOf(state, siteName);
  if (!record) return std::string("the eclipse's elements do not converge");
  for (const Statement& s : statements) {
    if (!eclipseInstantHours(record->eclipse, s.eclipse))
      return "statement \"" + s.text + "\": this eclipse has no such contact";
  }
  Solved solved{std::move(statements), std::move(*record), {}};
  solved.result = solveSessionRecord(solved.record, solved.statements);
  return solved;
}

std::string formatted(RecordFormat format, const Solved& s) {
  switch (format) {
    case RecordFormat::kText: return recordText(s.record.context, s.statements, s.result);
    case RecordFormat::kKeys: return recordKeys(s.record.context, s.result);
    case RecordFormat::kJson: return recordJson(s.record.context, s.statements, s.result) + "\n";
    case RecordFormat::kCsv: return recordCsvResult(s.record.context, s.result);
  }
  return {};
}

// Every write checked: output cut short is an error.
bool put(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}
int finish(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tarvo record: cannot write the output\n");
    return kExitBadRecords;
  }
  return status;
}

// The fields of one CSV line (RFC 4180 quoting, no line breaks in a field).
std::variant<std::vector<std::string>, std::string> csvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\0') {
      return std::string("a NUL byte");
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::string("a quoted field does not end");
  return fields;
}

std::vector<std::string> splitStatements(const std::string& field) {
  std::vector<std::string> out;
  std::string part;
  std::istringstream in(field);
  while (std::getline(in, part, ';'))
    if (part.find_first_not_of(" \t") != std::string::npos) out.push_back(part);
  return out;
}

struct RecordRow {
  std::size_t line;
  std::vector<std::string> fields;  // as read
  std::string error;                // why the row was not solved
  std::optional<Solved> solved;
};

int runFile(const std::string& path, RecordFormat format, DeltaTModel model, const OptionParser& parser) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "tarvo record: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    return kExitUsage;
  }
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (text.size() > kMaxRecordsFileBytes) return parser.usageError(path + ": larger than 16 MiB");
  std::vector<std::string> lines;
  {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  std::string header = lines.empty() ? std::string() : lines[0];
  if (header.rfind("\xEF\xBB\xBF", 0) == 0) header.erase(0, 3);  // a byte order mark
  if (header != kRecordsHeader) {
    return parser.usageError(path + " line 1: the header must be " + std::string(kRecordsHeader));
  }
  CanonReader reader;
  std::vector<RecordRow> rows;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    if (lines[n].find_first_not_of(" \t") == std::string::npos) continue;
    RecordRow row{n + 1, {}, {}, {}};
    auto fields = csvFields(lines[n]);
    if (const auto* e = std::get_if<std::string>(&fields)) {
      row.error = *e;
    } else {
      row.fields = std::get<std::vector<std::string>>(fields);
    }
    SharedOptions options;
    SiteValues site;
    if (row.error.empty() && row.fields.size() != 6) {
      row.error = formatString("%zu fields, not 6", row.fields.size());
    } else if (row.error.empty()) {
      const std::vector<std::string> yearMonth{row.fields[0], row.fields[1]};
      if (const std::string e = takeYearMonth(yearMonth, options, true); !e.empty()) {
        row.error = e;
      } else if (!parseNumber(row.fields[2], site.longitudeDeg) || !limits::kLongitudeDeg.contains(site.longitudeDeg)) {
        row.error = "longitude must be a number " + rangeText(limits::kLongitudeDeg);
      } else if (!parseNumber(row.fields[3], site.latitudeDeg) || !limits::kLatitudeDeg.contains(site.latitudeDeg)) {
        row.error = "latitude must be a number " + rangeText(limits::kLatitudeDeg);
      } else if (!parseNumber(row.fields[4], site.heightM) || !limits::kCityHeightM.contains(site.heightM)) {
        row.error = "height must be a number " + rangeText(limits::kCityHeightM);
      }
    }
    if (row.error.empty()) {
      auto statements = parseStatements(splitStatements(row.fields[5]));
      if (const auto* e = std::get_if<std::string>(&statements)) {
        row.error = *e;
      } else {
        SessionState state;
        state.year = options.year;
        state.month = options.month;
        state.deltaTChoice.model = model;
        state.site = typedChoice(site.longitudeDeg, site.latitudeDeg, site.heightM);
        int exitCode = 0;
        auto solved = solveAt(state, reader, options, std::get<std::vector<Statement>>(statements), "", exitCode);
        if (const auto* e = std::get_if<std::string>(&solved)) {
          row.error = *e;
        } else {
          row.solved = std::get<Solved>(std::move(solved));
        }
      }
    }
    if (!row.error.empty()) std::fprintf(stderr, "tarvo record: %s line %zu: %s\n", path.c_str(), row.line, row.error.c_str());
    rows.push_back(std::move(row));
  }
  reportDefects(reader);

  bool ok = true;
  bool anyBad = false;
  if (format == RecordFormat::kCsv) {
    ok = put(std::string(kRecordsHeader) + "," + kRecordCsvResultHeader + ",error\r\n");
  } else if (format == RecordFormat::kJson) {
    ok = put("[");
  }
  for (std::size_t i = 0; i < rows.size() && ok; ++i) {
    const RecordRow& row = rows[i];
    anyBad = anyBad || !row.solved;
    switch (format) {
      case RecordFormat::kCsv: {
        std::string line;
        for (std::size_t f = 0; f < 6; ++f) {
          if (f > 0) line += ',';
          line += csvField(f < row.fields.size() ? row.fields[f] : std::string());
        }
        line += ',';
        line += row.solved ? formatted(format, *row.solved) : std::string(",,,,,,");
        line += ',';
        line += csvField(row.error);
        line += "\r\n";
        ok = put(line);
        break;
      }
      case RecordFormat::kJson:
        ok = put(std::string(i ? ",\n" : "") + formatString("{\"line\":%zu,", row.line) +
                 (row.solved ? "\"result\":" + recordJson(row.solved->record.context, row.solved->statements,
                                                           row.solved->result)
                             : "\"error\":" + jsonString(row.error)) +
                 "}");
        break;
      case RecordFormat::kKeys:
        ok = put(formatString("record %zu\n", row.line) +
                 (row.solved ? formatted(format, *row.solved) : "error " + row.error + "\n"));
        break;
      case RecordFormat::kText:
        ok = put(formatString("%sRecord of line %zu\n", i ? "\n" : "", row.line) +
                 (row.solved ? formatted(format, *row.solved) : "Not solved: " + row.error + "\n"));
        break;
    }
  }
  if (ok && format == RecordFormat::kJson) ok = put("]\n");
  if (!ok) {
    std::fprintf(stderr, "tarvo record: cannot write the output\n");
    return kExitBadRecords;
  }
  return finish(anyBad ? kExitBadRecords : kExitShown);
}

struct RecordArgs {
  SharedOptions shared{};
  CriteriaOptions criteria{};
  std::optional<std::string> recordsFile;
  RecordFormat format = RecordFormat::kText;
};

OptionParser recordParser(RecordArgs& a) {
  OptionParser parser("record",
                      "Delta T from a recorded eclipse: solves statements such as \"U1 = moonrise + 1.5 h\" for "
                      "Delta T at the site.");
  parser.addPositional("[YEAR MONTH STATEMENT ...]",
                       "the eclipse as show lands on it, then statements that tie an eclipse instant (P1 U1 U2 G "
                       "U3 U4 P4) to a night instant (sunset sunrise moonrise moonset midnight) with =, < or >, "
                       "offsets in h, sh (seasonal hours), us (time-degrees) or min");
  parser.addEither({cityOption(a.shared), siteOption(a.shared)}, false);
  addCriteriaOptions(parser, a.criteria);
  parser.add(deltaTModelOption(a.shared.deltaT.model));
  parser.add({.name = "--file",
              .argument = "RECORDS.csv",
              .help = "read the records from a CSV file: year,month,longitude,latitude,height,statement "
                      "(statements separated by ;)",
              .apply = [&a](const std::vector<std::string>& v) {
                if (v[0].empty()) return std::string("--file needs a file name");
                a.recordsFile = v[0];
                return std::string();
              },
              .valueError = "--file needs a file name",
              .completion = ValueCompletion::File});
  const std::vector<std::string> names{"text", "keys", "json", "csv"};
  parser.add({.name = "--format",
              .argument = "text|keys|json|csv",
              .help = "sentences (the default), key value lines, JSON, or CSV rows (with --file)",
              .apply = [&a](const std::vector<std::string>& v) {
                if (v[0] == "text") a.format = RecordFormat::kText;
                else if (v[0] == "keys") a.format = RecordFormat::kKeys;
                else if (v[0] == "json") a.format = RecordFormat::kJson;
                else if (v[0] == "csv") a.format = RecordFormat::kCsv;
                else return std::string("--format must be text, keys, json or csv");
                return std::string();
              },
              .valueError = "--format needs text, keys, json or csv",
              .completion = ValueCompletion::Words,
              .words = names});
  return parser;
}

int runRecord(const std::vector<std::string>& args) {
  RecordArgs a;
  OptionParser parser = recordParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  SharedOptions& options = a.shared;
  const std::optional<std::string>& recordsFile = a.recordsFile;
  const RecordFormat format = a.format;
  const CriteriaOptions& criteria = a.criteria;
  SessionState state;
  if (recordsFile) {
    if (!parser.positional().empty() || options.cityName || options.typedSite)
      return parser.usageError("--file takes the year, month, site and statements from the file");
    return runFile(*recordsFile, format, options.deltaT.model, parser);
  }
  if (format == RecordFormat::kCsv) return parser.usageError("--format csv goes with --file");
  const std::vector<std::string>& p = parser.positional();
  if (p.size() < 3) return parser.usageError("YEAR, MONTH and at least one STATEMENT are needed");
  if (const std::string e = takeYearMonth({p[0], p[1]}, options, true); !e.empty()) return parser.usageError(e);
  if (!options.cityName && !options.typedSite)
    return parser.usageError("give either --city NAME or --site LON LAT HEIGHT");
  auto statements = parseStatements(std::vector<std::string>(p.begin() + 2, p.end()));
  if (const auto* e = std::get_if<std::string>(&statements)) return parser.usageError(*e);
  state.year = options.year;
  state.month = options.month;
  state.deltaTChoice.model = options.deltaT.model;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  SiteList sites;
  if (const std::string e = loadSitesAndApply(options, sites, state); !e.empty()) return parser.usageError(e);

  CanonReader reader;
  int exitCode = kExitShown;
  auto solved = solveAt(state, reader, options, std::get<std::vector<Statement>>(statements),
                        options.cityName ? *options.cityName : std::string(), exitCode);
  reportDefects(reader);
  if (exitCode != kExitShown) return exitCode;
  if (const auto* e = std::get_if<std::string>(&solved)) return parser.usageError(*e);
  if (!put(formatted(format, std::get<Solved>(solved)))) return finish(kExitBadRecords);
  return finish(kExitShown);
}

const CommandRegistration kRecord{{"record", [] {
                                     RecordArgs a;
                                     return recordParser(a).syntax();
                                   },
                                   runRecord}};

}  // namespace
}  // namespace tarvo::cli
