#include "parser/ast.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

#include "base/recent_need.hpp"

namespace zevo::parser {

namespace {

constexpr std::size_t kFirstBlock = Arena::kFirstBlockSize;
constexpr std::size_t kLargestBlock = std::size_t{4} << 20;
constexpr std::size_t kBlockSizes = std::bit_width(kLargestBlock / kFirstBlock);

std::size_t align_up(std::size_t n, std::size_t align) { return (n + align - 1) & ~(align - 1); }

// Blocks of one size from dropped trees, kept for the next parse: the server
// parses every version of a document, and memory handed back to the kernel is
// zeroed page by page when it is taken again. The pool keeps as many blocks as
// the largest of the last few trees held.
class BlockPool {
 public:
  ~BlockPool() { keep_at_most(0); }

  void* take() {
    if (free_ == nullptr) return nullptr;
    FreeBlock* block = free_;
    free_ = block->next;
    --count_;
    return block;
  }
  void give_back(void* memory) {
    auto* block = static_cast<FreeBlock*>(memory);
    block->next = free_;
    free_ = block;
    ++count_;
  }
  // After a dropped tree has given back its `blocks` of this size.
  void tree_dropped(std::size_t blocks) {
    recent_.record(blocks);
    keep_at_most(recent_.largest());
  }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };

  void keep_at_most(std::size_t blocks) {
    while (count_ > blocks) ::operator delete(take());
  }

  FreeBlock* free_ = nullptr;
  std::size_t count_ = 0;
  RecentNeed recent_;
};

// The pool for blocks of `size`, or null for a block sized for one large object.
BlockPool* block_pool(std::size_t size) {
  thread_local BlockPool pools[kBlockSizes];
  if (size < kFirstBlock || size > kLargestBlock || !std::has_single_bit(size)) return nullptr;
  return &pools[std::countr_zero(size / kFirstBlock)];
}

template <class T>
struct ListRoom {
  std::vector<T> room;
  RecentNeed recent;
};

template <class T>
ListRoom<T>& list_room() {
  thread_local ListRoom<T> spare;
  return spare;
}

// Room for this many items is always worth keeping.
constexpr std::size_t kAlwaysKept = 1024;

}  // namespace

template <class T>
std::vector<T> take_list_room() {
  return std::exchange(list_room<T>().room, {});
}

template <class T>
void record_list_need(std::size_t items) {
  list_room<T>().recent.record(items);
}

template <class T>
void give_back_list_room(std::vector<T>&& room) {
  ListRoom<T>& spare = list_room<T>();
  // Doubling leaves up to twice the items as room.
  if (room.capacity() > std::max(2 * spare.recent.largest(), kAlwaysKept)) return;
  if (room.capacity() <= spare.room.capacity()) return;
  room.clear();
  spare.room = std::move(room);
}

template std::vector<Stmt> take_list_room<Stmt>();
template void record_list_need<Stmt>(std::size_t);
template void give_back_list_room<Stmt>(std::vector<Stmt>&&);
template std::vector<Expr> take_list_room<Expr>();
template void record_list_need<Expr>(std::size_t);
template void give_back_list_room<Expr>(std::vector<Expr>&&);

void Statements::add_piece(Arena& arena) {
  pieces_.push_back(static_cast<Stmt*>(arena.allocate(sizeof(Stmt) * kPiece, alignof(Stmt))));
}

Arena::~Arena() {
  for (const Finalizer& f : finalizers_) f.destroy(f.object);
  if (blocks_ == nullptr) return;
  std::size_t given_back[kBlockSizes] = {};
  for (Block* b = blocks_; b != nullptr;) {
    Block* previous = b->previous;
    if (BlockPool* pool = block_pool(b->size)) {
      pool->give_back(b);
      ++given_back[std::countr_zero(b->size / kFirstBlock)];
    } else {
      ::operator delete(b);
    }
    b = previous;
  }
  for (std::size_t k = 0; k < kBlockSizes; ++k) block_pool(kFirstBlock << k)->tree_dropped(given_back[k]);
}

void Arena::drop_older_blocks() {
  for (const Finalizer& f : finalizers_) f.destroy(f.object);
  finalizers_.clear();
  if (blocks_ == nullptr) return;
  for (Block* b = blocks_->previous; b != nullptr;) {
    Block* previous = b->previous;
    if (BlockPool* pool = block_pool(b->size)) {
      pool->give_back(b);
    } else {
      ::operator delete(b);
    }
    b = previous;
  }
  blocks_->previous = nullptr;
}

std::size_t Arena::reserved() const {
  std::size_t bytes = 0;
  for (const Block* b = blocks_; b != nullptr; b = b->previous) bytes += b->size;
  return bytes;
}

void Arena::add_block(std::size_t at_least) {
  const std::size_t capacity = std::max(next_block_size_, align_up(at_least, alignof(std::max_align_t)));
  BlockPool* pool = block_pool(capacity);
  void* memory = pool != nullptr ? pool->take() : nullptr;
  if (memory == nullptr) memory = ::operator new(kBlockHeader + capacity);
  auto* block = static_cast<Block*>(memory);
  block->size = capacity;
  block->previous = blocks_;
  blocks_ = block;
  cursor_ = reinterpret_cast<char*>(block) + kBlockHeader;
  limit_ = cursor_ + capacity;
  next_block_size_ = std::min(next_block_size_ * 2, kLargestBlock);
}

void* Arena::allocate_in_new_block(std::size_t size, std::size_t align) {
  add_block(size + align);
  return allocate(size, align);
}

Text Arena::text(std::string_view s) {
  if (s.empty()) return Text();
  const std::size_t prefix = s.size() >= AddressLength::kLong ? sizeof(std::size_t) : 0;
  const std::size_t need = prefix + s.size();
  if (cursor_ == nullptr || static_cast<std::size_t>(limit_ - cursor_) < need) add_block(need);
  limit_ -= need;
  const std::size_t size = s.size();
  if (prefix != 0) std::memcpy(limit_, &size, prefix);
  std::memcpy(limit_ + prefix, s.data(), size);
  return Text(limit_ + prefix, size);
}

}  // namespace zevo::parser
