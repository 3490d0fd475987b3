#include "surface/visited_pixels.h"

#include <algorithm>
#include <bit>

namespace tarvo {

void VisitedPixels::markRun(std::size_t y, std::size_t x0, std::size_t x1) {
  for (std::size_t i = y * width_ + x0, end = y * width_ + x1; i <= end;) {
    if ((i & 63) == 0 && i + 63 <= end) {
      bits_[i >> 6] = ~std::uint64_t{0};
      i += 64;
    } else {
      bits_[i >> 6] |= std::uint64_t{1} << (i & 63);
      ++i;
    }
  }
}

std::size_t VisitedPixels::nextUnvisited(std::size_t y, std::size_t x, std::size_t xEnd) const {
  std::size_t i = y * width_ + x;
  const std::size_t end = y * width_ + xEnd;
  while (i <= end) {
    const std::uint64_t open = ~bits_[i >> 6] >> (i & 63);
    if (open != 0) {
      i += static_cast<std::size_t>(std::countr_zero(open));
      break;
    }
    i = (i | 63) + 1;
  }
  return std::min(i, end + 1) - y * width_;
}

std::size_t VisitedPixels::unvisitedRight(std::size_t y, std::size_t x) const {
  std::size_t i = y * width_ + x;
  const std::size_t end = y * width_ + width_ - 1;
  while (i <= end) {
    const std::uint64_t taken = bits_[i >> 6] >> (i & 63);
    if (taken != 0) return std::min(i + std::countr_zero(taken) - 1, end) - y * width_;
    i = (i | 63) + 1;
  }
  return width_ - 1;
}

std::size_t VisitedPixels::unvisitedLeft(std::size_t y, std::size_t x) const {
  const std::size_t start = y * width_;
  std::size_t i = start + x;
  for (;;) {
    const std::uint64_t taken = bits_[i >> 6] << (63 - (i & 63));
    if (taken != 0) return std::max(i - std::countl_zero(taken) + 1, start) - start;
    const std::size_t wordStart = i & ~std::size_t{63};
    if (wordStart <= start) return std::size_t{0};
    i = wordStart - 1;
  }
}

}  // namespace tarvo
