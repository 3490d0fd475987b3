#include "circumstances/record_statement.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "base/text_format.h"

namespace tarvo {

namespace {

struct Named {
  const char* name;
  const char* words;
};

// In EclipseInstant order: the contacts as kContactNames names them, greatest
// eclipse between U2 and U3.
constexpr std::array<Named, 7> kEclipseInstants = {{
    {kContactNames[0].label, "first penumbral contact"},
    {kContactNames[1].label, "first umbral contact"},
    {kContactNames[2].label, "totality began"},
    {"G", "greatest eclipse"},
    {kContactNames[3].label, "totality ended"},
    {kContactNames[4].label, "last umbral contact"},
    {kContactNames[5].label, "last penumbral contact"},
}};

// In NightEvent order.
constexpr std::array<Named, 5> kNightInstants = {{
    {"sunset", "the Sun's upper limb set"},
    {"sunrise", "the Sun's upper limb rose"},
    {"moonrise", "the Moon's upper limb rose"},
    {"moonset", "the Moon's upper limb set"},
    {"midnight", "local apparent midnight"},
}};

struct UnitName {
  const char* name;
  const char* one;
  const char* many;
};
// In OffsetUnit order.
constexpr std::array<UnitName, 4> kUnits = {{
    {"h", "equal hour", "equal hours"},
    {"sh", "seasonal hour", "seasonal hours"},
    {"us", "time-degree", "time-degrees"},
    {"min", "minute", "minutes"},
}};

bool sameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

enum class TokenKind { kWord, kNumber, kSign, kRelation };
struct Token {
  TokenKind kind;
  std::string text;
  double number = 0;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::variant<std::vector<Token>, std::string> tokens(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (isLetter(c)) {
      std::size_t j = i;
      while (j < s.size() && (isLetter(s[j]) || isDigit(s[j]))) ++j;
      out.push_back({TokenKind::kWord, std::string(s.substr(i, j - i))});
      i = j;
    } else if (isDigit(c) || c == '.') {
      std::size_t j = i;
      while (j < s.size() && (isDigit(s[j]) || s[j] == '.')) ++j;
      Token t{TokenKind::kNumber, std::string(s.substr(i, j - i))};
      const auto [end, ec] = std::from_chars(s.data() + i, s.data() + j, t.number);
      if (ec != std::errc() || end != s.data() + j || !std::isfinite(t.number))
        return "'" + t.text + "' is not a number";
      out.push_back(t);
      i = j;
    } else if (c == '+' || c == '-') {
      out.push_back({TokenKind::kSign, std::string(1, c)});
      ++i;
    } else if (c == '=' || c == '<' || c == '>') {
      out.push_back({TokenKind::kRelation, std::string(1, c)});
      ++i;
    } else if (s.substr(i, 3) == "\xE2\x88\x92") {  // U+2212, the minus sign
      out.push_back({TokenKind::kSign, "-"});
      i += 3;
    } else {
      return "unexpected character '" + std::string(1, c) + "'";
    }
  }
  return out;
}

// One side: an instant, then "± number unit" terms.
struct Side {
  std::optional<EclipseInstant> eclipse;
  std::optional<NightEvent> night;
  std::vector<Offset> offsets;
};

std::variant<Side, std::string> readSide(const std::vector<Token>& t, std::size_t& i) {
  Side side;
  if (i >= t.size() || t[i].kind != TokenKind::kWord) return std::string("an instant is missing");
  for (std::size_t k = 0; k < kEclipseInstants.size(); ++k)
    if (sameLetters(t[i].text, kEclipseInstants[k].name)) side.eclipse = static_cast<EclipseInstant>(k);
  for (std::size_t k = 0; k < kNightInstants.size(); ++k)
    if (sameLetters(t[i].text, kNightInstants[k].name)) side.night = static_cast<NightEvent>(k);
  if (!side.eclipse && !side.night) return "unknown instant '" + t[i].text + "'";
  ++i;
  while (i < t.size() && t[i].kind == TokenKind::kSign) {
    const double sign = t[i].text == "-" ? -1.0 : 1.0;
    ++i;
    if (i >= t.size() || t[i].kind != TokenKind::kNumber) return std::string("a number must follow + or -");
    const double amount = t[i].number;
    ++i;
    if (i >= t.size() || t[i].kind != TokenKind::kWord) return std::string("a unit (h, sh, us, min) must follow the number");
    std::optional<OffsetUnit> unit;
    for (std::size_t k = 0; k < kUnits.size(); ++k)
      if (sameLetters(t[i].text, kUnits[k].name)) unit = static_cast<OffsetUnit>(k);
    if (!unit) return "unknown unit '" + t[i].text + "' (h, sh, us or min)";
    ++i;
    side.offsets.push_back({sign * amount, *unit});
  }
  return side;
}

std::string amountText(double amount) {
  std::string s = formatString("%.6f", amount);
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

std::variant<Statement, std::string> parseStatement(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  const std::string_view trimmed =
      first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
  auto read = tokens(trimmed);
  if (const auto* e = std::get_if<std::string>(&read)) return *e;
  const std::vector<Token>& t = std::get<std::vector<Token>>(read);
  std::size_t i = 0;
  auto left = readSide(t, i);
  if (const auto* e = std::get_if<std::string>(&left)) return *e;
  if (i >= t.size() || t[i].kind != TokenKind::kRelation) return std::string("=, < or > must follow the first side");
  const char relation = t[i].text[0];
  ++i;
  auto right = readSide(t, i);
  if (const auto* e = std::get_if<std::string>(&right)) return *e;
  if (i != t.size()) return "unexpected '" + t[i].text + "' after the second side";
  Side& l = std::get<Side>(left);
  Side& r = std::get<Side>(right);
  const bool eclipseLeft = l.eclipse && r.night;
  if (!eclipseLeft && !(l.night && r.eclipse))
    return std::string("a statement ties one eclipse instant (P1 U1 U2 G U3 U4 P4) to one night instant "
                       "(sunset sunrise moonrise moonset midnight)");
  Side& e = eclipseLeft ? l : r;
  Side& n = eclipseLeft ? r : l;
  Statement s;
  s.text = std::string(trimmed);
  s.eclipse = *e.eclipse;
  s.night = *n.night;
  // E + a rel N + b  ⇔  E rel N + b − a.
  s.offsets = n.offsets;
  for (Offset o : e.offsets) s.offsets.push_back({-o.amount, o.unit});
  const Relation asWritten = relation == '=' ? Relation::kEqual : (relation == '<' ? Relation::kBefore : Relation::kAfter);
  s.relation = eclipseLeft || asWritten == Relation::kEqual
                   ? asWritten
                   : (asWritten == Relation::kBefore ? Relation::kAfter : Relation::kBefore);
  return s;
}

std::string statementMeaning(const Statement& s) {
  const std::string eclipse = kEclipseInstants[static_cast<std::size_t>(s.eclipse)].words;
  const std::string night = kNightInstants[static_cast<std::size_t>(s.night)].words;
  // The offsets in words, each with "after" or "before".
  std::string offsets;
  for (const Offset& o : s.offsets) {
    const UnitName& u = kUnits[static_cast<std::size_t>(o.unit)];
    const double a = std::fabs(o.amount);
    offsets += amountText(a) + " " + (a == 1 ? u.one : u.many) + (o.amount < 0 ? " before " : " after ");
  }
  const bool midnight = s.night == NightEvent::kMidnight;
  switch (s.relation) {
    case Relation::kEqual:
      return eclipse + (offsets.empty() ? (midnight ? " at " : " when ") : " ") + offsets + night;
    case Relation::kBefore:
      return eclipse + (offsets.empty() ? " before " : " earlier than ") + offsets + night;
    case Relation::kAfter:
      return eclipse + (offsets.empty() ? " after " : " later than ") + offsets + night;
  }
  return {};
}

std::optional<double> eclipseInstantHours(const EclipseCircumstances& e, EclipseInstant which) {
  switch (which) {
    case EclipseInstant::kP1: return e.contacts.p1;
    case EclipseInstant::kU1: return e.contacts.u1;
    case EclipseInstant::kU2: return e.contacts.u2;
    case EclipseInstant::kG: return e.greatestHours;
    case EclipseInstant::kU3: return e.contacts.u3;
    case EclipseInstant::kU4: return e.contacts.u4;
    case EclipseInstant::kP4: return e.contacts.p4;
  }
  return std::nullopt;
}

std::optional<double> statementGapHours(const Statement& s, const EclipseCircumstances& e,
                                        const NightSkyTrack& track, const SiteValues& site,
                                        double deltaTSeconds) {
  const std::optional<double> tE = eclipseInstantHours(e, s.eclipse);
  if (!tE) return std::nullopt;
  const std::optional<double> tN = nightEventNear(track, site, deltaTSeconds, s.night, *tE);
  if (!tN) return std::nullopt;
  double offsetHours = 0;
  std::optional<Night> night;
  for (const Offset& o : s.offsets) {
    switch (o.unit) {
      case OffsetUnit::kHours: offsetHours += o.amount; break;
      case OffsetUnit::kMinutes: offsetHours += o.amount / 60.0; break;
      case OffsetUnit::kTimeDegrees: offsetHours += o.amount * 4.0 / 60.0; break;
      case OffsetUnit::kSeasonalHours:
        if (!night) night = nightOf(track, site, deltaTSeconds, *tE);
        if (!night) return std::nullopt;
        offsetHours += o.amount * night->seasonalHourHours();
        break;
    }
  }
  return *tE - (*tN + offsetHours);
}

double DeltaTSearch::fromSeconds() const {
  return modelSeconds - std::max(kSearchSigmas * sigmaSeconds, kSearchLeastHalfWidthSeconds);
}
double DeltaTSearch::toSeconds() const {
  return modelSeconds + std::max(kSearchSigmas * sigmaSeconds, kSearchLeastHalfWidthSeconds);
}

double trackSpanHours(const DeltaTSearch& search) {
  // The eclipse's own span, the ΔT searched and a day and a half for the night.
  return 8.0 + (search.toSeconds() - search.modelSeconds) / 3600.0 + 40.0;
}

namespace {

// A sign change closer to zero than this on both sides is a root; farther,
// the nearest instant jumped to the next day's.
constexpr double kContinuityHours = 1.0;

bool holdsAt(const Statement& s, std::optional<double> gap) {
  if (!gap) return false;
  return s.relation == Relation::kBefore ? *gap < 0 : (s.relation == Relation::kAfter ? *gap > 0 : false);
}

}  // namespace

StatementResult solveStatement(const Statement& s, const EclipseCircumstances& e, const NightSkyTrack& track,
                               const SiteValues& site, const DeltaTSearch& search) {
  StatementResult out;
  const auto gap = [&](double dT) { return statementGapHours(s, e, track, site, dT); };
  const double from = search.fromSeconds(), to = search.toSeconds();
  const int steps = static_cast<int>(std::ceil((to - from) / kSearchStepSeconds));
  const auto at = [&](int k) { return std::min(from + k * kSearchStepSeconds, to); };
  if (s.isEquality()) {
    std::optional<double> previous = gap(from);
    for (int k = 1; k <= steps; ++k) {
      const std::optional<double> next = gap(at(k));
      if (previous && next && std::fabs(*previous) < kContinuityHours && std::fabs(*next) < kContinuityHours &&
          ((*previous <= 0) != (*next <= 0))) {
        double lo = at(k - 1), hi = at(k);
        const bool loNegative = *previous <= 0;
        for (int i = 0; i < 32 && hi - lo > kSolveToleranceSeconds; ++i) {
          const double mid = 0.5 * (lo + hi);
          const std::optional<double> g = gap(mid);
          if (!g) break;
          ((*g <= 0) == loNegative ? lo : hi) = mid;
        }
        const double root = 0.5 * (lo + hi);
        out.solutionsSeconds.push_back(root);
        // dΔT / d(interval): the gap moves by the interval's change.
        const std::optional<double> gm = gap(root - 30.0), gp = gap(root + 30.0);
        const double slope = gm && gp ? (*gp - *gm) * 3600.0 / 60.0 : 0.0;  // hours per hour
        out.sensitivitySecondsPerMinute.push_back(slope != 0 ? 60.0 / std::fabs(slope) : HUGE_VAL);
      }
      previous = next;
    }
    return out;
  }
  bool previous = holdsAt(s, gap(from));
  std::optional<DeltaTInterval> open;
  if (previous) open = DeltaTInterval{from, to, false, false};
  for (int k = 1; k <= steps; ++k) {
    const bool next = holdsAt(s, gap(at(k)));
    if (next != previous) {
      double lo = at(k - 1), hi = at(k);
      for (int i = 0; i < 32 && hi - lo > kSolveToleranceSeconds; ++i) {
        const double mid = 0.5 * (lo + hi);
        (holdsAt(s, gap(mid)) == previous ? lo : hi) = mid;
      }
      const double edge = std::round(0.5 * (lo + hi));
      if (next) {
        open = DeltaTInterval{edge, to, true, false};
      } else if (open) {
        open->toSeconds = edge;
        open->toBounded = true;
        out.holds.push_back(*open);
        open.reset();
      }
    }
    previous = next;
  }
  if (open) out.holds.push_back(*open);
  return out;
}

RecordResult solveRecord(const std::vector<Statement>& statements, const EclipseCircumstances& e,
                         const SiteValues& site, const DeltaTSearch& search) {
  RecordResult out;
  const NightSkyTrack track(e, trackSpanHours(search));
  for (const Statement& s : statements) out.each.push_back(solveStatement(s, e, track, site, search));
  const auto firstEquality =
      std::find_if(statements.begin(), statements.end(), [](const Statement& s) { return s.isEquality(); });
  out.anyEquality = firstEquality != statements.end();
  if (out.anyEquality) {
    const std::size_t k = static_cast<std::size_t>(firstEquality - statements.begin());
    constexpr double kAgreementSeconds = 2.0;
    for (std::size_t n = 0; n < out.each[k].solutionsSeconds.size(); ++n) {
      const double dT = out.each[k].solutionsSeconds[n];
      bool allHold = true;
      for (std::size_t j = 0; j < statements.size() && allHold; ++j) {
        if (j == k) continue;
        if (statements[j].isEquality()) {
          const auto& other = out.each[j].solutionsSeconds;
          allHold = std::any_of(other.begin(), other.end(),
                                [dT](double o) { return std::fabs(o - dT) <= kAgreementSeconds; });
        } else {
          allHold = holdsAt(statements[j], statementGapHours(statements[j], e, track, site, dT));
        }
      }
      if (!allHold) continue;
      out.solutionsSeconds.push_back(dT);
      out.sensitivitySecondsPerMinute.push_back(out.each[k].sensitivitySecondsPerMinute[n]);
    }
    return out;
  }
  // The intersection of the ranges, statement by statement.
  std::vector<DeltaTInterval> common{{search.fromSeconds(), search.toSeconds(), false, false}};
  for (const StatementResult& r : out.each) {
    std::vector<DeltaTInterval> next;
    for (const DeltaTInterval& a : common) {
      for (const DeltaTInterval& b : r.holds) {
        DeltaTInterval c{std::max(a.fromSeconds, b.fromSeconds), std::min(a.toSeconds, b.toSeconds)};
        if (c.fromSeconds > c.toSeconds) continue;
        // An end is bounded when the range that sets it is.
        c.fromBounded = (a.fromSeconds == c.fromSeconds && a.fromBounded) || (b.fromSeconds == c.fromSeconds && b.fromBounded);
        c.toBounded = (a.toSeconds == c.toSeconds && a.toBounded) || (b.toSeconds == c.toSeconds && b.toBounded);
        next.push_back(c);
      }
    }
    common = std::move(next);
  }
  out.holds = std::move(common);
  return out;
}

}  // namespace tarvo
