// The flood fill's bookkeeping: one bit per pixel of an image, set once the
// fill has taken the pixel. Runs of a row are marked and their ends found a
// 64-bit word at a time. Rows are `width` pixels; x and y must lie inside.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

class VisitedPixels {
 public:
  // All pixels of a width × height image unvisited; keeps the storage.
  void reset(std::size_t width, std::size_t height) {
    width_ = width;
    bits_.assign((width * height + 63) / 64, 0);
  }

  bool visited(std::size_t x, std::size_t y) const {
    const std::size_t i = y * width_ + x;
    return ((bits_[i >> 6] >> (i & 63)) & 1u) != 0;
  }

  // Marks x0..x1 of row y.
  void markRun(std::size_t y, std::size_t x0, std::size_t x1) {
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

  // The first x in [x, xEnd] of row y not yet visited, or xEnd + 1.
  std::size_t nextUnvisited(std::size_t y, std::size_t x, std::size_t xEnd) const {
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

  // Around an unvisited x of row y: the last x to its right before a visited
  // pixel or the row's end.
  std::size_t unvisitedRight(std::size_t y, std::size_t x) const {
    std::size_t i = y * width_ + x;
    const std::size_t end = y * width_ + width_ - 1;
    while (i <= end) {
      const std::uint64_t taken = bits_[i >> 6] >> (i & 63);
      if (taken != 0) return std::min(i + std::countr_zero(taken) - 1, end) - y * width_;
      i = (i | 63) + 1;
    }
    return width_ - 1;
  }

  // The same to the left: the first x of the unvisited stretch.
  std::size_t unvisitedLeft(std::size_t y, std::size_t x) const {
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

 private:
  std::size_t width_ = 0;
  std::vector<std::uint64_t> bits_;
};

}  // namespace tarvo
