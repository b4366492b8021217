// In-memory streams for running the server inside a test or a fuzz target.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "lsp/log.hpp"
#include "lsp/transport.hpp"

namespace zevo::testing {

class MemorySource final : public lsp::ByteSource {
 public:
  explicit MemorySource(std::string bytes, std::size_t chunk = SIZE_MAX)
      : bytes_(std::move(bytes)), chunk_(chunk == 0 ? 1 : chunk) {}

  platform::ReadResult read(char* buffer, std::size_t capacity) override {
    const std::size_t n = std::min({capacity, chunk_, bytes_.size() - position_});
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return {n, 0};
  }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  std::size_t chunk_;  // largest read served at once, to exercise refills
};

class MemorySink final : public lsp::ByteSink {
 public:
  int write(const char* data, std::size_t size) override {
    if (bytes_.size() + size > limit_) {
      bytes_.append(data, limit_ > bytes_.size() ? limit_ - bytes_.size() : 0);
      return error_;
    }
    bytes_.append(data, size);
    return 0;
  }
  const std::string& bytes() const { return bytes_; }
  // Every write after the first `n` bytes fails with `error` (EPIPE by default).
  void fail_after(std::size_t n, int error = 32) {
    limit_ = n;
    error_ = error;
  }
  void heal() { limit_ = SIZE_MAX; }

 private:
  std::string bytes_;
  std::size_t limit_ = SIZE_MAX;
  int error_ = 0;
};

class MemoryLog final : public lsp::LogSink {
 public:
  void line(std::string_view text) override { text_ += text; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace zevo::testing
