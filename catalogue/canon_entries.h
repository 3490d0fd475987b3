// The entries of one canon file in file order: held in memory as the parser
// builds them, or viewed where they lie in a mapped cache file, which the
// view keeps mapped while it lives (see canon_cache.h). Read like a vector.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "catalogue/eclipse_record.h"

namespace tarvo {

class CanonEntries {
 public:
  using value_type = EclipseRecord;
  using const_iterator = const EclipseRecord*;
  using iterator = const_iterator;

  CanonEntries() = default;
  explicit CanonEntries(std::vector<EclipseRecord> held) : held_(std::move(held)) {}
  // count records at first, valid while keeper lives.
  CanonEntries(std::shared_ptr<const void> keeper, const EclipseRecord* first, std::size_t count)
      : keeper_(std::move(keeper)), view_(first), viewCount_(count) {}

  std::size_t size() const { return view_ ? viewCount_ : held_.size(); }
  bool empty() const { return size() == 0; }
  const EclipseRecord* data() const { return view_ ? view_ : held_.data(); }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + size(); }
  const EclipseRecord& operator[](std::size_t i) const { return data()[i]; }
  const EclipseRecord& front() const { return data()[0]; }
  const EclipseRecord& back() const { return data()[size() - 1]; }
  bool viewsMapping() const { return view_ != nullptr; }

  // Adds a record; a view becomes a copy held in memory first.
  void push_back(const EclipseRecord& r) {
    hold();
    held_.push_back(r);
  }
  void shrink_to_fit() { held_.shrink_to_fit(); }
  // The records as a vector held in memory, for changing them.
  std::vector<EclipseRecord>& held() {
    hold();
    return held_;
  }

 private:
  void hold() {
    if (!view_) return;
    held_.assign(view_, view_ + viewCount_);
    keeper_.reset();
    view_ = nullptr;
    viewCount_ = 0;
  }

  std::vector<EclipseRecord> held_;
  std::shared_ptr<const void> keeper_;
  const EclipseRecord* view_ = nullptr;
  std::size_t viewCount_ = 0;
};

}  // namespace tarvo
