// ΔT from an old record of a lunar eclipse: statements that tie an instant of
// the eclipse to an instant of the night at the site ("U1 = moonrise + 1.5 h",
// "moonset < U4"), and the ΔT at which they hold.
//
// An eclipse instant's UT is its TT minus ΔT; the night instants are found at
// that UT, so a statement holds or fails as a function of ΔT alone. Times are
// hours of TT from the entry's epochHour unless a name says otherwise; ΔT and
// σ are seconds.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "circumstances/night_sky.h"

namespace tarvo {

enum class EclipseInstant { kP1, kU1, kU2, kG, kU3, kU4, kP4 };
enum class Relation { kEqual, kBefore, kAfter };  // eclipse instant =, <, > the night side

// An offset's unit: equal hours, seasonal hours (a twelfth of that night,
// sunset to sunrise), time-degrees (4 minutes), minutes.
enum class OffsetUnit { kHours, kSeasonalHours, kTimeDegrees, kMinutes };
struct Offset {
  double amount;
  OffsetUnit unit;
};

// "eclipse instant RELATION night instant + offsets", whichever side each
// stood on in the text (the relation turned to match).
struct Statement {
  std::string text;  // as given, blanks around it removed
  EclipseInstant eclipse;
  Relation relation;
  NightEvent night;
  std::vector<Offset> offsets;  // added to the night instant
  bool isEquality() const { return relation == Relation::kEqual; }
};

// Reads one statement; the error names what is wrong ("unknown instant
// 'U5'", "a statement ties one eclipse instant to one night instant").
std::variant<Statement, std::string> parseStatement(std::string_view text);

// What the statement says, in words: "first umbral contact 1.5 equal hours
// after the Moon's upper limb rose".
std::string statementMeaning(const Statement& s);

// The eclipse instant, hours of TT from epochHour; nullopt when the eclipse
// has no such contact (U2 of a partial eclipse).
std::optional<double> eclipseInstantHours(const EclipseCircumstances& e, EclipseInstant which);

// Eclipse instant minus (night instant + offsets), hours, at ΔT; nullopt when
// an instant does not exist there (the Moon does not rise, polar day).
std::optional<double> statementGapHours(const Statement& s, const EclipseCircumstances& e,
                                        const NightSkyTrack& track, const SiteValues& site,
                                        double deltaTSeconds);

// A closed range of ΔT, seconds; an end at the edge of the search is open
// (no bound exists within the search).
struct DeltaTInterval {
  double fromSeconds, toSeconds;
  bool fromBounded = true, toBounded = true;
};

// The ΔT searched: the model's ΔT ± max(10 σ, 2 h).
struct DeltaTSearch {
  double modelSeconds;
  double sigmaSeconds;
  double fromSeconds() const;
  double toSeconds() const;
};
inline constexpr double kSearchSigmas = 10.0;
inline constexpr double kSearchLeastHalfWidthSeconds = 7200.0;
// The search steps this far and then halves a bracket down to 1 s.
inline constexpr double kSearchStepSeconds = 120.0;
inline constexpr double kSolveToleranceSeconds = 1.0;

// One statement's answer: for an equality its solutions, for an inequality
// the ranges where it holds. `sensitivity` is seconds of ΔT per minute of
// error in the recorded interval, one per solution.
struct StatementResult {
  std::vector<double> solutionsSeconds;
  std::vector<double> sensitivitySecondsPerMinute;
  std::vector<DeltaTInterval> holds;
};
StatementResult solveStatement(const Statement& s, const EclipseCircumstances& e, const NightSkyTrack& track,
                               const SiteValues& site, const DeltaTSearch& search);

// Several statements together: where all hold. With an equality among them,
// its solutions that the others allow (equalities agree within 2 s);
// otherwise the intersection of the ranges.
struct RecordResult {
  std::vector<StatementResult> each;
  bool anyEquality = false;
  std::vector<double> solutionsSeconds;
  std::vector<double> sensitivitySecondsPerMinute;
  std::vector<DeltaTInterval> holds;
};

// The track reaches this far beyond the search on either side of greatest eclipse.
double trackSpanHours(const DeltaTSearch& search);

RecordResult solveRecord(const std::vector<Statement>& statements, const EclipseCircumstances& e,
                         const SiteValues& site, const DeltaTSearch& search);

}  // namespace tarvo
