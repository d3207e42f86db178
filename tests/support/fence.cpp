#include "fence.h"

#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace glimfx_test {

namespace {

size_t QueryPageSize() {
#if defined(_WIN32)
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

}  // namespace

// Asked once: the query is a system call on some platforms.
size_t PageSize() {
  static const size_t page_size = QueryPageSize();
  return page_size;
}

PageBlock::PageBlock(size_t pages) : pages_(pages), fenced_(pages, false) {
  const size_t bytes = pages * PageSize();
#if defined(_WIN32)
  base_ =
      static_cast<uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (base_ == nullptr) std::abort();
#else
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) std::abort();
  base_ = static_cast<uint8_t*>(p);
#endif
}

PageBlock::~PageBlock() {
#if defined(_WIN32)
  VirtualFree(base_, 0, MEM_RELEASE);
#else
  munmap(base_, pages_ * PageSize());
#endif
}

void PageBlock::Fence(size_t i) {
#if defined(_WIN32)
  DWORD old_protect;
  if (!VirtualProtect(Page(i), PageSize(), PAGE_NOACCESS, &old_protect)) std::abort();
#else
  if (mprotect(Page(i), PageSize(), PROT_NONE) != 0) std::abort();
#endif
  fenced_[i] = true;
}

namespace {

enum class FencePattern { kEnds, kEveryOtherPage };

// Mapping and protecting pages is slow under some systems (a server round
// trip each under Wine), so blocks of the same shape are kept per thread and
// handed out again once no surface holds them.
std::shared_ptr<PageBlock> FencedBlock(size_t pages, FencePattern pattern) {
  struct Kept {
    size_t pages;
    FencePattern pattern;
    std::shared_ptr<PageBlock> block;
  };
  thread_local std::vector<Kept> kept;
  for (const Kept& k : kept) {
    if (k.pages == pages && k.pattern == pattern && k.block.use_count() == 1) return k.block;
  }
  auto block = std::make_shared<PageBlock>(pages);
  if (pattern == FencePattern::kEnds) {
    block->Fence(0);
    block->Fence(pages - 1);
  } else {
    for (size_t i = 0; i < pages; i += 2) block->Fence(i);
  }
  if (kept.size() < 16) kept.push_back({pages, pattern, block});
  return block;
}

}  // namespace

FencedSurface FencedSurface::Contiguous(int32_t bpp, int32_t width, int32_t height, int32_t pitch,
                                        Snug snug) {
  FencedSurface s;
  s.layout_ = RectLayout{width, height, pitch, bpp};
  const size_t page = PageSize();
  const size_t span = s.layout_.Span();
  const size_t data_pages = span / page + 1;
  s.block_ = FencedBlock(data_pages + 2, FencePattern::kEnds);
  const size_t lowest = snug == Snug::kStartAfterFence ? page : (data_pages + 1) * page - span;
  s.first_row_offset_ = lowest + s.layout_.FirstRowOffset();
  return s;
}

FencedSurface FencedSurface::FencePerRow(int32_t bpp, int32_t width, int32_t height, bool upward,
                                         Snug snug) {
  FencedSurface s;
  const size_t page = PageSize();
  const int32_t pitch = static_cast<int32_t>(2 * page) * (upward ? -1 : 1);
  s.layout_ = RectLayout{width, height, pitch, bpp};
  if (static_cast<size_t>(s.layout_.RowBytes()) > page) std::abort();
  // Pages: fence, row, fence, row, ..., fence.
  s.block_ = FencedBlock(2 * static_cast<size_t>(height) + 1, FencePattern::kEveryOtherPage);
  const size_t row0_page = upward ? 2 * static_cast<size_t>(height) - 1 : 1;
  const size_t in_page = snug == Snug::kStartAfterFence ? 0 : page - s.layout_.RowBytes();
  s.first_row_offset_ = row0_page * page + in_page;
  return s;
}

std::vector<uint8_t*> FencedSurface::OpenPages() const {
  std::vector<uint8_t*> open;
  for (size_t i = 0; i < block_->pages(); ++i) {
    if (!block_->IsFenced(i)) open.push_back(block_->Page(i));
  }
  return open;
}

void FencedSurface::FillRandom(Rng& rng) {
  for (uint8_t* p : OpenPages()) {
    for (size_t i = 0; i < PageSize(); ++i) p[i] = rng.NextByte();
  }
}

std::vector<uint8_t> FencedSurface::Image() const {
  const size_t page = PageSize();
  std::vector<uint8_t> image(block_->pages() * page, 0);
  for (size_t i = 0; i < block_->pages(); ++i) {
    if (!block_->IsFenced(i)) std::memcpy(image.data() + i * page, block_->Page(i), page);
  }
  return image;
}

}  // namespace glimfx_test
