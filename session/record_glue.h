// ΔT from a recorded eclipse for the session's eclipse shown and site: what
// `tarvo record` and the window's "ΔT from a Record…" solve and print.
#pragma once

#include <string>
#include <vector>

#include "circumstances/record_report.h"
#include "session/session_state.h"

namespace tarvo {

// The eclipse shown, the site and the search, ready to solve.
struct SessionRecord {
  EclipseCircumstances eclipse;  // at the model's ΔT (the adjustment left out)
  SiteValues site;
  RecordContext context;
};

// From the state after a landing: the current eclipse, the observing site
// (named siteName; empty for typed coordinates) and the chosen model's ΔT and
// σ at the eclipse. nullopt when the eclipse's iterations did not converge.
std::optional<SessionRecord> sessionRecordOf(const SessionState& state, const std::string& siteName);

// The statements solved for the record.
RecordResult solveSessionRecord(const SessionRecord& record, const std::vector<Statement>& statements);

}  // namespace tarvo
