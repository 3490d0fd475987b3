#include "app/time_zones.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

namespace tarvo {

namespace {

// A name of the tz database ("Asia/Kolkata", "UTC"), not one of the offset
// names QTimeZone also takes ("UTC+05:30").
bool zoneNameShape(std::string_view name) {
  if (name.empty() || name.substr(0, 4) == "UTC+" || name.substr(0, 4) == "UTC-") return false;
  for (char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter && !(c >= '0' && c <= '9') && c != '/' && c != '_' && c != '+' && c != '-') return false;
  }
  return true;
}

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kMillisecondsPerDay = 86400000.0;

}  // namespace

SystemZoneDatabase::SystemZoneDatabase() = default;
SystemZoneDatabase::~SystemZoneDatabase() = default;

const QTimeZone& SystemZoneDatabase::zone(std::string_view zoneName) const {
  auto it = zones_.find(zoneName);
  if (it == zones_.end()) {
    const QByteArray id(zoneName.data(), static_cast<qsizetype>(zoneName.size()));
    const bool known = zoneNameShape(zoneName) && QTimeZone::isTimeZoneIdAvailable(id);
    auto tz = std::make_unique<QTimeZone>(known ? QTimeZone(id) : QTimeZone());
    it = zones_.emplace(std::string(zoneName), std::move(tz)).first;
  }
  return *it->second;
}

bool SystemZoneDatabase::hasZone(std::string_view zoneName) const { return zone(zoneName).isValid(); }

std::optional<ZoneOffset> SystemZoneDatabase::offsetAt(std::string_view zoneName, JulianDay jdUt) const {
  const QTimeZone& tz = zone(zoneName);
  if (!tz.isValid() || !std::isfinite(jdUt)) return std::nullopt;
  const auto ms = static_cast<qint64>(std::llround((jdUt - kUnixEpochJd) * kMillisecondsPerDay));
  const QTimeZone::OffsetData d = tz.offsetData(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
  if (d.offsetFromUtc == std::numeric_limits<int>::min()) return std::nullopt;
  // Zones without a customary abbreviation have a numeric one ("+0545"):
  // written as a fixed offset, "UTC+05:45".
  const bool numeric = d.abbreviation.startsWith(u'+') || d.abbreviation.startsWith(u'-');
  if (numeric) return fixedZoneOffset(d.offsetFromUtc / 3600.0);
  return ZoneOffset{d.offsetFromUtc, d.abbreviation.toStdString()};
}

const ZoneDatabase& systemZoneDatabase() {
  static const SystemZoneDatabase database;
  return database;
}

}  // namespace tarvo
