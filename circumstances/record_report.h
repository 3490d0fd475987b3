// The answer to a recorded eclipse's statements as text: sentences for a
// person, `key value` lines, JSON and CSV for other programs. Pure functions;
// `tarvo record` and the window's "ΔT from a Record…" both use them.
#pragma once

#include <string>
#include <vector>

#include "circumstances/record_statement.h"

namespace tarvo {

// What the statements were solved for.
struct RecordContext {
  std::string eclipseText;  // "total lunar eclipse of 2025 March 14 (UT), Saros 123"
  std::string siteText;     // "Tokyo (139.692° E, 35.689° N, 40 m)"
  std::string modelName;    // the ΔT model, as the command line writes it
  DeltaTSearch search;
};

// The sentences: the eclipse, the site, the model, what each statement meant
// and where it holds, then the result (lines end in "\n", UTF-8).
std::string recordText(const RecordContext& c, const std::vector<Statement>& statements, const RecordResult& r);

// `deltat S` per solution (or `deltat_min S` / `deltat_max S` per range, a
// bound that does not exist left out; `deltat none` when nothing holds),
// `model_deltat S`, `model_sigma S`, and for an equality `z Z` and
// `sensitivity S` per solution.
std::string recordKeys(const RecordContext& c, const RecordResult& r);

// One JSON object (no newline at the end).
std::string recordJson(const RecordContext& c, const std::vector<Statement>& statements, const RecordResult& r);

// The result columns of a CSV row: deltat, deltat_min, deltat_max,
// model_deltat, model_sigma, z, sensitivity (several values joined by ';').
inline constexpr const char* kRecordCsvResultHeader =
    "deltat,deltat_min,deltat_max,model_deltat,model_sigma,z,sensitivity";
std::string recordCsvResult(const RecordContext& c, const RecordResult& r);

// A CSV field as RFC 4180 writes it: quoted when it holds a comma, a quote or
// a line break.
std::string csvField(const std::string& s);
// A JSON string literal, quotes and control characters escaped.
std::string jsonString(const std::string& s);

}  // namespace tarvo
