#include "catalogue/eclipse_record.h"

#include <cstring>
#include <type_traits>

namespace tarvo {

static_assert(std::is_standard_layout_v<EclipseRecord>);
static_assert(sizeof(EclipseRecord) == EclipseRecord::kValueCount * sizeof(double),
              "EclipseRecord must be exactly its 31 doubles in file order");

std::array<double, EclipseRecord::kValueCount> EclipseRecord::values() const {
  std::array<double, kValueCount> v{};
  std::memcpy(v.data(), this, sizeof v);
  return v;
}

EclipseRecord EclipseRecord::fromValues(const std::array<double, kValueCount>& v) {
  EclipseRecord r;
  std::memcpy(static_cast<void*>(&r), v.data(), sizeof v);
  return r;
}

}  // namespace tarvo
