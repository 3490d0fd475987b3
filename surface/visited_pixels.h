// The flood fill's bookkeeping: one bit per pixel of an image, set once the
// fill has taken the pixel. Runs of a row are marked and their ends found a
// 64-bit word at a time. Rows are `width` pixels; x and y must lie inside.
#pragma once

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
  void markRun(std::size_t y, std::size_t x0, std::size_t x1);

  // The first x in [x, xEnd] of row y not yet visited, or xEnd + 1.
  std::size_t nextUnvisited(std::size_t y, std::size_t x, std::size_t xEnd) const;

  // Around an unvisited x of row y: the last x to its right before a visited
  // pixel or the row's end.
  std::size_t unvisitedRight(std::size_t y, std::size_t x) const;

  // The same to the left: the first x of the unvisited stretch.
  std::size_t unvisitedLeft(std::size_t y, std::size_t x) const;

 private:
  std::size_t width_ = 0;
  std::vector<std::uint64_t> bits_;
};

}  // namespace tarvo
