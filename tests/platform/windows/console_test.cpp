// The console conversions over a fake console, so that the reads and writes can
// be cut where a real console would only cut them by chance.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/console_windows.hpp"

namespace zevo::platform {
namespace {

class FakeConsole final : public WideConsole {
 public:
  std::vector<std::wstring> reads;  // what each read returns; then end of input
  std::size_t units_per_write = SIZE_MAX;
  std::uint32_t write_error = 0;
  std::vector<std::wstring> writes;  // what each write was given

  std::uint32_t read(wchar_t* buffer, std::size_t capacity, std::size_t& got) override {
    got = 0;
    if (next_ == reads.size()) return 0;
    const std::wstring& units = reads[next_++];
    EXPECT_LE(units.size(), capacity);
    std::copy(units.begin(), units.end(), buffer);
    got = units.size();
    return 0;
  }

  std::uint32_t write(const wchar_t* data, std::size_t size, std::size_t& written) override {
    if (write_error != 0) return write_error;
    written = std::min(size, units_per_write);
    writes.emplace_back(data, written);
    return 0;
  }

  std::wstring shown() const {
    std::wstring all;
    for (const auto& w : writes) all += w;
    return all;
  }

 private:
  std::size_t next_ = 0;
};

// Everything the reader yields until the end of input, `capacity` bytes at most per read.
std::string read_all(FakeConsole& console, std::size_t capacity) {
  ConsoleReader reader;
  std::string bytes;
  std::vector<char> buffer(capacity);
  for (int guard = 0; guard < 100000; ++guard) {
    const ReadResult r = reader.read(console, buffer.data(), capacity);
    EXPECT_EQ(r.error, 0);
    if (r.size == 0) break;
    bytes.append(buffer.data(), r.size);
  }
  return bytes;
}

TEST(ConsoleReader, CharactersCutByAReadComeOutWhole) {
  struct Case {
    const char* name;
    std::vector<std::wstring> reads;
    std::string bytes;
  };
  const Case cases[] = {
      {"surrogate pair cut", {L"ab\xD83D", L"\xDE00" L"c\r\n"}, "ab\xF0\x9F\x98\x80" "c\r\n"},
      {"pair cut, the second half alone", {L"\xD83D", L"\xDE00"}, "\xF0\x9F\x98\x80"},
      {"Turkish and Greek", {L"\x0130\x015F \x03A3\x03C2\r\n"}, "\xC4\xB0\xC5\x9F \xCE\xA3\xCF\x82\r\n"},
      {"input ends after a high surrogate", {L"a\xD83D"}, "a\xEF\xBF\xBD"},
      {"Ctrl+Z after text keeps the text", {L"x\x1A", L"never read"}, "x"},
      {"Ctrl+Z alone ends the input", {L"\x1A", L"never read"}, ""},
      {"nothing", {}, ""},
  };
  for (const Case& c : cases) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{3}, std::size_t{8192}}) {
      FakeConsole console;
      console.reads = c.reads;
      EXPECT_EQ(read_all(console, capacity), c.bytes) << c.name << ", capacity " << capacity;
    }
  }
}

TEST(ConsoleReader, AFullReadOfWideUnitsFits) {
  FakeConsole console;
  console.reads = {std::wstring(4096, L'\x015F'), std::wstring(4095, L'a') + L"\xD83D", L"\xDE00"};
  std::string expected;
  for (int i = 0; i < 4096; ++i) expected += "\xC5\x9F";
  expected += std::string(4095, 'a') + "\xF0\x9F\x98\x80";
  EXPECT_EQ(read_all(console, 8192), expected);
}

// One UTF-8 text cut into writes at every offset shows the same UTF-16 text.
TEST(ConsoleWriter, SequencesCutByAWriteComeOutWhole) {
  const std::string text = "a\xC4\xB0\xC5\x9F\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a İ ş € 😀 z
  const std::wstring wide = L"a\x0130\x015F\x20AC\xD83D\xDE00z";
  for (std::size_t first = 0; first <= text.size(); ++first) {
    for (std::size_t second = first; second <= text.size(); ++second) {
      FakeConsole console;
      ConsoleWriter writer;
      EXPECT_EQ(writer.write(console, text.data(), first), 0);
      EXPECT_EQ(writer.write(console, text.data() + first, second - first), 0);
      EXPECT_EQ(writer.write(console, text.data() + second, text.size() - second), 0);
      EXPECT_EQ(console.shown(), wide) << first << " " << second;
    }
  }
}

TEST(ConsoleWriter, ACutSequenceThatNeverEndsShowsAReplacement) {
  FakeConsole console;
  ConsoleWriter writer;
  EXPECT_EQ(writer.write(console, "\xC5", 1), 0);
  EXPECT_EQ(writer.write(console, "x", 1), 0);
  EXPECT_EQ(console.shown(), L"\xFFFDx");
}

// Long output goes out in chunks, none ending inside a pair, whatever the
// console takes per call.
TEST(ConsoleWriter, LongOutputIsChunkedAtCharacters) {
  std::string text = "a";
  std::wstring wide = L"a";
  for (int i = 0; i < 3000; ++i) {
    text += "\xF0\x9F\x98\x80\xC5\x9F";
    wide += L"\xD83D\xDE00\x015F";
  }
  for (const std::size_t per_write : {std::size_t{7}, SIZE_MAX}) {
    FakeConsole console;
    console.units_per_write = per_write;
    ConsoleWriter writer;
    EXPECT_EQ(writer.write(console, text.data(), text.size()), 0);
    EXPECT_EQ(console.shown(), wide);
    if (per_write == SIZE_MAX) {
      for (const auto& w : console.writes) EXPECT_FALSE(w.back() >= 0xD800 && w.back() <= 0xDBFF);
    }
  }
}

TEST(ConsoleWriter, AFailedConsoleWriteIsReported) {
  FakeConsole console;
  console.write_error = 6;
  ConsoleWriter writer;
  EXPECT_EQ(writer.write(console, "abc", 3), 6);
}

}  // namespace
}  // namespace zevo::platform
