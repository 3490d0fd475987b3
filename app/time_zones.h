// The system's tz database (Debian tzdata) through Qt's QTimeZone, as the
// ZoneDatabase the lower layers take.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "timebase/civil_time.h"

class QTimeZone;

namespace tarvo {

class SystemZoneDatabase final : public ZoneDatabase {
 public:
  SystemZoneDatabase();
  ~SystemZoneDatabase() override;
  bool hasZone(std::string_view zoneName) const override;
  std::optional<ZoneOffset> offsetAt(std::string_view zoneName, JulianDay jdUt) const override;

 private:
  // Zones opened so far by name (an invalid QTimeZone for an unknown name).
  const QTimeZone& zone(std::string_view zoneName) const;
  mutable std::map<std::string, std::unique_ptr<QTimeZone>, std::less<>> zones_;
};

// The one database of the process.
const ZoneDatabase& systemZoneDatabase();

}  // namespace tarvo
