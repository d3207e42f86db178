#include "surface.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace glimfx_test {

const char* FormatName(uint32_t format) {
  switch (format) {
    case kFormat555:
      return "0 (5-5-5)";
    case kFormat565:
      return "1 (5-6-5)";
    case kFormat24:
      return "3 (24-bit)";
    case kFormat32:
      return "4 (32-bit)";
  }
  return "unsupported";
}

size_t RectLayout::FirstRowOffset() const {
  return pitch < 0 ? static_cast<size_t>(-static_cast<int64_t>(pitch) * (height - 1)) : 0;
}

size_t RectLayout::Span() const {
  const int64_t step = pitch < 0 ? -static_cast<int64_t>(pitch) : pitch;
  return static_cast<size_t>(step * (height - 1) + RowBytes());
}

uint32_t GetPixel(const uint8_t* row, int32_t x, int32_t bpp) {
  const uint8_t* p = row + static_cast<ptrdiff_t>(x) * bpp;
  uint32_t v = 0;
  for (int32_t i = 0; i < bpp; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

void PutPixel(uint8_t* row, int32_t x, int32_t bpp, uint32_t value) {
  uint8_t* p = row + static_cast<ptrdiff_t>(x) * bpp;
  for (int32_t i = 0; i < bpp; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string FirstDifference(const uint8_t* expected, const uint8_t* actual, size_t size,
                            const RectLayout* layout, size_t first_row_offset) {
  if (std::memcmp(expected, actual, size) == 0) return std::string();
  size_t at = 0;
  while (expected[at] == actual[at]) ++at;
  char text[128];
  std::snprintf(text, sizeof text,
                "first differing byte at offset %zu: expected 0x%02X, got 0x%02X", at, expected[at],
                actual[at]);
  if (layout == nullptr) return text;
  const int64_t rel = static_cast<int64_t>(at) - static_cast<int64_t>(first_row_offset);
  for (int32_t r = 0; r < layout->height; ++r) {
    const int64_t in_row = rel - static_cast<int64_t>(r) * layout->pitch;
    if (in_row >= 0 && in_row < layout->RowBytes()) {
      char where[96];
      std::snprintf(where, sizeof where, " (row %d, pixel %d, byte %d of the pixel)", r,
                    static_cast<int>(in_row / layout->bpp), static_cast<int>(in_row % layout->bpp));
      return text + std::string(where);
    }
  }
  return text + std::string(" (outside the rectangle: a gap or margin byte)");
}

uint32_t RandomKeyPixel(Rng& rng, uint32_t format) {
  if (format == kFormat32 && rng.Chance(60)) return rng.Next32() & 0xFF000000u;
  return 0;
}

namespace {

template <size_t N>
uint32_t Pick(Rng& rng, const uint32_t (&values)[N]) {
  return values[rng.Below(N)];
}

uint32_t RandomSpecialPixel(Rng& rng, uint32_t format) {
  static const uint32_t k555[] = {0x8000, 0x7FFF, 0xFFFF, 0x7C00, 0x03E0, 0x001F,
                                  0x0001, 0x4210, 0x8001, 0xFC00, 0x0421, 0x7BDE,
                                  0xF800, 0x0100, 0x00FF, 0x0020, 0x0400};
  static const uint32_t k565[] = {0x8000, 0xFFFF, 0x7FFF, 0xF800, 0x07E0, 0x001F, 0x0001,
                                  0x0000, 0x8421, 0x0821, 0xF7DE, 0x7BEF, 0xFFFE, 0x8001,
                                  0x7C00, 0x0100, 0x00FF, 0x0020, 0x0400};
  static const uint32_t k24[] = {0xFFFFFF, 0x010101, 0x000001, 0x010000, 0x800000,
                                 0x808080, 0xFEFEFE, 0x7F7F7F, 0x0180FF, 0x000100};
  static const uint32_t k32[] = {0xFF000000, 0x01000000, 0x80000000, 0xFFFFFFFF,
                                 0x00FFFFFF, 0x80FFFFFF, 0x00000001, 0xFF010101,
                                 0x7F808080, 0xFF336699, 0xFF000001, 0x00000100,
                                 0x00010000, 0x80808080, 0x00FEFEFE, 0x7F000001};
  switch (format) {
    case kFormat555:
      return Pick(rng, k555);
    case kFormat565:
      return Pick(rng, k565);
    case kFormat24:
      return Pick(rng, k24);
    default:
      return Pick(rng, k32);
  }
}

}  // namespace

uint32_t RandomPixel(Rng& rng, uint32_t format, const PixelMix& mix) {
  if (rng.Chance(mix.key_percent)) return RandomKeyPixel(rng, format);
  if (rng.Chance(mix.special_percent)) return RandomSpecialPixel(rng, format);
  const int32_t bits = 8 * BytesPerPixel(format);
  return bits == 32 ? rng.Next32() : rng.Next32() & ((1u << bits) - 1);
}

void FillRect(Rng& rng, uint8_t* first_row, const RectLayout& layout, uint32_t format,
              const PixelMix& mix) {
  uint32_t run = 0;  // key runs may go on into the next row
  const PixelMix no_key{0, mix.special_percent, 1};
  for (int32_t r = 0; r < layout.height; ++r) {
    uint8_t* row = first_row + static_cast<ptrdiff_t>(r) * layout.pitch;
    for (int32_t x = 0; x < layout.width; ++x) {
      if (run == 0 && rng.Chance(mix.key_percent)) run = 1 + rng.Below(mix.max_run);
      const bool key = run > 0;
      run -= key ? 1 : 0;
      // Outside runs a random pixel can still come out as a key one.
      PutPixel(row, x, layout.bpp,
               key ? RandomKeyPixel(rng, format) : RandomPixel(rng, format, no_key));
    }
  }
}

// Asked once: the query is a system call on some platforms.
size_t PageSize() {
  static const size_t page_size = [] {
#if defined(_WIN32)
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
#else
    return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
  }();
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

namespace {

// Set where an emulator's masked moves fault on masked-off lanes of a
// no-access page: fences then stay ordinary pages, filled and compared like
// any other byte, so only reads past a rectangle go unseen.
bool ReadableFences() {
  static const bool readable = std::getenv("GLIMFX_TEST_READABLE_FENCES") != nullptr;
  return readable;
}

}  // namespace

void PageBlock::Fence(size_t i) {
  if (ReadableFences()) return;
#if defined(_WIN32)
  DWORD old_protect;
  if (!VirtualProtect(Page(i), PageSize(), PAGE_NOACCESS, &old_protect)) std::abort();
#else
  if (mprotect(Page(i), PageSize(), PROT_NONE) != 0) std::abort();
#endif
  fenced_[i] = true;
}

namespace {

// Mapping and protecting pages is slow under some systems (a server round
// trip each under Wine), so blocks of the same shape are kept per thread and
// handed out again once no surface holds them.
std::shared_ptr<PageBlock> FencedBlock(size_t pages, bool every_other) {
  struct Kept {
    size_t pages;
    bool every_other;
    std::shared_ptr<PageBlock> block;
  };
  thread_local std::vector<Kept> kept;
  for (const Kept& k : kept) {
    if (k.pages == pages && k.every_other == every_other && k.block.use_count() == 1) {
      return k.block;
    }
  }
  auto block = std::make_shared<PageBlock>(pages);
  for (size_t i = 0; i < pages; i += every_other ? 2 : pages - 1) block->Fence(i);
  if (kept.size() < 24) kept.push_back({pages, every_other, block});
  return block;
}

}  // namespace

Surface::Surface(int32_t bpp, int32_t width, int32_t height, const Placement& p) {
  const size_t page = PageSize();
  if (p.per_row) {
    // Pages: fence, row, fence, row, ..., fence.
    layout_ = RectLayout{width, height, static_cast<int32_t>(2 * page) * (p.upward ? -1 : 1), bpp};
    const size_t used = static_cast<size_t>(layout_.RowBytes() + p.margin);
    if (used > page) std::abort();
    block_ = FencedBlock(2 * static_cast<size_t>(height) + 1, true);
    const size_t row0_page = p.upward ? 2 * static_cast<size_t>(height) - 1 : 1;
    first_row_offset_ = row0_page * page + (p.at_start ? p.margin : page - used);
    return;
  }
  layout_ = RectLayout{width, height, (width * bpp + p.gap) * (p.upward ? -1 : 1), bpp};
  const size_t used = layout_.Span() + static_cast<size_t>(p.margin);
  const size_t data_pages = used / page + 1;
  block_ = FencedBlock(data_pages + 2, false);
  const size_t lowest = p.at_start ? page + p.margin : (data_pages + 1) * page - used;
  first_row_offset_ = lowest + layout_.FirstRowOffset();
}

void Surface::FillRandom(Rng& rng) {
  for (size_t i = 0; i < block_->pages(); ++i) {
    if (block_->IsFenced(i)) continue;
    for (size_t at = 0; at < PageSize(); at += 8) {
      const uint64_t v = rng.Next64();
      std::memcpy(block_->Page(i) + at, &v, 8);
    }
  }
}

std::vector<uint8_t> Surface::Image() const {
  const size_t page = PageSize();
  std::vector<uint8_t> image(block_->pages() * page, 0);
  for (size_t i = 0; i < block_->pages(); ++i) {
    if (!block_->IsFenced(i)) std::memcpy(image.data() + i * page, block_->Page(i), page);
  }
  return image;
}

std::string Surface::DifferenceFrom(const std::vector<uint8_t>& expected) const {
  const std::vector<uint8_t> got = Image();
  return FirstDifference(expected.data(), got.data(), got.size(), &layout_, first_row_offset_);
}

}  // namespace glimfx_test
