#include "app/cli/criteria_options.h"

#include <cmath>

#include "app/cli/cli_args.h"
#include "session/search.h"

namespace tarvo::cli {

namespace {

struct NumberOption {
  const char* name;
  double lo, hi;
  bool integer;
};

constexpr NumberOption kSearchTypeOption{"--search-type", 0, 3, true};
constexpr NumberOption kTypeOption{"--type", 1, 6, true};
constexpr NumberOption kMagnitudeOption{"--mag", 0, 1.5, false};
constexpr NumberOption kSarosOption{"--saros", -400, 400, true};
constexpr NumberOption kLookBackOption{"--lookback", 0, 1000, false};

std::string rangeText(const NumberOption& o) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s needs %s %g..%g", o.name, o.integer ? "an integer" : "a number", o.lo, o.hi);
  return buf;
}

// The value after option o at args[i + 1].
std::optional<double> takeValue(const std::vector<std::string>& args, std::size_t& i, const NumberOption& o) {
  double v = 0;
  if (i + 1 >= args.size() || !parseNumber(args[i + 1], v)) return std::nullopt;
  ++i;
  if (v < o.lo || v > o.hi || (o.integer && v != std::trunc(v))) return std::nullopt;
  return v;
}

}  // namespace

OptionMatch takeCriteriaOption(const std::vector<std::string>& args, std::size_t& i, CriteriaOptions& out,
                               std::string& error) {
  const std::string& a = args[i];
  const NumberOption* o = a == "--search-type" ? &kSearchTypeOption
                          : a == "--type"      ? &kTypeOption
                          : a == "--mag"       ? &kMagnitudeOption
                          : a == "--saros"     ? &kSarosOption
                          : a == "--lookback"  ? &kLookBackOption
                                               : nullptr;
  if (!o) return OptionMatch::NotMine;
  const std::optional<double> v = takeValue(args, i, *o);
  if (!v) {
    error = rangeText(*o);
    return OptionMatch::Bad;
  }
  if (o == &kSearchTypeOption) out.searchType = static_cast<int>(*v);
  if (o == &kTypeOption) out.typeCode = static_cast<int>(*v);
  if (o == &kMagnitudeOption) out.magnitude = *v;
  if (o == &kSarosOption) out.saros = *v;
  if (o == &kLookBackOption) out.lookBackYears = *v;
  return OptionMatch::Taken;
}

std::optional<int> criteriaSearchType(const CriteriaOptions& o, std::string& error) {
  int type = kSearchAll;
  if (o.searchType) {
    type = *o.searchType;
  } else {
    const int criteria = (o.typeCode ? 1 : 0) + (o.magnitude ? 1 : 0) + (o.saros ? 1 : 0);
    if (criteria > 1) {
      error = "give one of --type, --mag and --saros (or choose with --search-type)";
      return std::nullopt;
    }
    if (o.typeCode) type = kSearchByType;
    if (o.magnitude) type = kSearchBySite;
    if (o.saros) type = kSearchBySaros;
  }
  if (o.lookBackYears && type != kSearchByType && type != kSearchBySite) {
    error = "--lookback applies to a type search (--type) or a site search (--mag)";
    return std::nullopt;
  }
  return type;
}

void applyCriteria(const CriteriaOptions& o, int searchType, SessionState& s) {
  if (!o.given()) return;
  s.searchType = searchType;
  if (o.typeCode) {
    s.typeChoice = *o.typeCode;
    s.typeCriterion = *o.typeCode;
  }
  if (o.magnitude) s.magnitudeCriterion = *o.magnitude;
  if (o.saros) s.sarosCriterion = *o.saros;
  if (o.lookBackYears) {
    if (searchType == kSearchByType) s.typeLookBackYears = *o.lookBackYears;
    if (searchType == kSearchBySite) s.siteLookBackYears = *o.lookBackYears;
  }
  applySarosRestart(s);
}

}  // namespace tarvo::cli
