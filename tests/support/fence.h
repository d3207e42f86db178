// Memory with no-access fence pages, so that any read or write just outside a
// rectangle faults at once. A rectangle is placed so that its bytes end
// exactly where a fence begins, or begin exactly where one ends.
#ifndef GLIMFX_TESTS_SUPPORT_FENCE_H_
#define GLIMFX_TESTS_SUPPORT_FENCE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rect.h"
#include "rng.h"

namespace glimfx_test {

size_t PageSize();

// Whole pages, readable and writable until fenced off.
class PageBlock {
 public:
  explicit PageBlock(size_t pages);
  ~PageBlock();
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;

  uint8_t* Page(size_t i) const { return base_ + i * PageSize(); }
  size_t pages() const { return pages_; }
  void Fence(size_t i);
  bool IsFenced(size_t i) const { return fenced_[i]; }

 private:
  uint8_t* base_;
  size_t pages_;
  std::vector<bool> fenced_;
};

enum class Snug {
  kEndAtFence,       // the byte after the rectangle's last byte is a fence
  kStartAfterFence,  // the byte before the rectangle's first byte is a fence
};

// A surface holding one rectangle inside fences. Either all rows lie between
// two fences (Contiguous), or every row has a page of its own with fences on
// both sides (FencePerRow; the pitch is then two pages, or minus two pages).
class FencedSurface {
 public:
  static FencedSurface Contiguous(int32_t bpp, int32_t width, int32_t height, int32_t pitch,
                                  Snug snug);
  static FencedSurface FencePerRow(int32_t bpp, int32_t width, int32_t height, bool upward,
                                   Snug snug);

  uint8_t* first_row() const { return block_->Page(0) + first_row_offset_; }
  const RectLayout& layout() const { return layout_; }
  size_t first_row_offset() const { return first_row_offset_; }

  // Fills every accessible byte.
  void FillRandom(Rng& rng);
  // The whole block as bytes; fenced pages read as zero. A model run on the
  // image at first_row_offset() predicts the surface byte for byte.
  std::vector<uint8_t> Image() const;

 private:
  FencedSurface() = default;
  std::vector<uint8_t*> OpenPages() const;

  std::shared_ptr<PageBlock> block_;
  RectLayout layout_;
  size_t first_row_offset_ = 0;
};

}  // namespace glimfx_test

#endif  // GLIMFX_TESTS_SUPPORT_FENCE_H_
