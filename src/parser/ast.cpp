#include "parser/ast.hpp"

#include <algorithm>
#include <cstring>

namespace zevo::parser {

namespace {

// Blocks grow with the tree, so a large document needs few of them; the
// largest are big enough for the platform heap to back with huge pages.
constexpr std::size_t kLargestBlock = std::size_t{4} << 20;

std::size_t align_up(std::size_t n, std::size_t align) { return (n + align - 1) & ~(align - 1); }

// Full-size blocks of dropped trees, kept for the next parse: the server parses
// every version of a document, and fresh memory costs a page fault per page.
class BlockCache {
 public:
  static constexpr std::size_t kMaxBlocks = 16;

  ~BlockCache() {
    for (std::size_t i = 0; i < count_; ++i) ::operator delete(blocks_[i]);
  }
  void* take() { return count_ == 0 ? nullptr : blocks_[--count_]; }
  bool keep(void* block) {
    if (count_ == kMaxBlocks) return false;
    blocks_[count_++] = block;
    return true;
  }

 private:
  void* blocks_[kMaxBlocks] = {};
  std::size_t count_ = 0;
};

BlockCache& block_cache() {
  thread_local BlockCache cache;
  return cache;
}

}  // namespace

Arena::~Arena() {
  for (const Finalizer& f : finalizers_) f.destroy(f.object);
  for (Block* b = blocks_; b != nullptr;) {
    Block* previous = b->previous;
    if (b->size != kLargestBlock || !block_cache().keep(b)) ::operator delete(b);
    b = previous;
  }
}

void* Arena::allocate(std::size_t size, std::size_t align) {
  auto at = reinterpret_cast<std::uintptr_t>(cursor_);
  std::uintptr_t start = (at + align - 1) & ~static_cast<std::uintptr_t>(align - 1);
  if (cursor_ == nullptr || start + size > reinterpret_cast<std::uintptr_t>(limit_)) {
    const std::size_t header = align_up(sizeof(Block), alignof(std::max_align_t));
    const std::size_t capacity = std::max(next_block_size_, align_up(size + align, alignof(std::max_align_t)));
    void* memory = capacity == kLargestBlock ? block_cache().take() : nullptr;
    if (memory == nullptr) memory = ::operator new(header + capacity);
    auto* block = static_cast<Block*>(memory);
    block->size = capacity;
    block->previous = blocks_;
    blocks_ = block;
    cursor_ = reinterpret_cast<char*>(block) + header;
    limit_ = cursor_ + capacity;
    next_block_size_ = std::min(next_block_size_ * 2, kLargestBlock);
    at = reinterpret_cast<std::uintptr_t>(cursor_);
    start = (at + align - 1) & ~static_cast<std::uintptr_t>(align - 1);
  }
  cursor_ = reinterpret_cast<char*>(start + size);
  return reinterpret_cast<void*>(start);
}

Text Arena::text(std::string_view s) {
  if (s.empty()) return Text();
  char* copy = static_cast<char*>(allocate(s.size(), 1));
  std::memcpy(copy, s.data(), s.size());
  return Text(copy, s.size());
}

}  // namespace zevo::parser
