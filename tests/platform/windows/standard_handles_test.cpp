// The standard streams over the handles a Windows process can be given: pipes,
// files, none at all. Each test puts its own handle in place and restores the
// one the test program had (the C runtime's own streams are not touched).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/platform.hpp"

namespace zevo::platform {
namespace {

class StandardHandle {
 public:
  StandardHandle(DWORD which, HANDLE handle) : which_(which), saved_(::GetStdHandle(which)) {
    ::SetStdHandle(which, handle);
  }
  ~StandardHandle() { ::SetStdHandle(which_, saved_); }

 private:
  DWORD which_;
  HANDLE saved_;
};

// Every byte the text mode of a C runtime stream would change.
const std::string kAwkwardBytes = std::string("a\r\nb\nc\r\x1A" "d\0e", 10) + "\xC4\xB0\xC5\x9F";

std::string read_all_stdin() {
  std::string bytes;
  char buffer[4];
  for (int guard = 0; guard < 1000; ++guard) {
    const ReadResult r = read_stdin(buffer, sizeof buffer);
    EXPECT_EQ(r.error, 0);
    if (r.size == 0) break;
    bytes.append(buffer, r.size);
  }
  return bytes;
}

std::string temp_file_path() {
  char dir[MAX_PATH], path[MAX_PATH];
  ::GetTempPathA(sizeof dir, dir);
  ::GetTempFileNameA(dir, "zvo", 0, path);
  return path;
}

std::string read_pipe(HANDLE reader) {
  std::string bytes;
  char buffer[256];
  DWORD got = 0;
  while (::ReadFile(reader, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

TEST(StandardInput, APipeGivesEveryByteThenEndsWhenItsWriterCloses) {
  HANDLE reader, writer;
  ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(writer, kAwkwardBytes.data(), static_cast<DWORD>(kAwkwardBytes.size()), &written, nullptr));
  ::CloseHandle(writer);
  StandardHandle in(STD_INPUT_HANDLE, reader);
  EXPECT_EQ(read_all_stdin(), kAwkwardBytes);
  // Windows reports the end as ERROR_BROKEN_PIPE, Wine as a read of 0 bytes;
  // it stays the end.
  char byte;
  const ReadResult end = read_stdin(&byte, 1);
  EXPECT_EQ(end.size, 0u);
  EXPECT_EQ(end.error, 0);
  ::CloseHandle(reader);
}

TEST(StandardInput, AFileGivesEveryByteThenEnds) {
  const std::string path = temp_file_path();
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file, kAwkwardBytes.data(), static_cast<DWORD>(kAwkwardBytes.size()), &written, nullptr));
  ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  StandardHandle in(STD_INPUT_HANDLE, file);
  EXPECT_EQ(read_all_stdin(), kAwkwardBytes);
  ::CloseHandle(file);
}

TEST(StandardInput, NoHandleIsTheEndOfInput) {
  for (HANDLE missing : {HANDLE{nullptr}, INVALID_HANDLE_VALUE}) {
    StandardHandle in(STD_INPUT_HANDLE, missing);
    char byte;
    const ReadResult r = read_stdin(&byte, 1);
    EXPECT_EQ(r.size, 0u);
    EXPECT_EQ(r.error, 0);
  }
}

TEST(StandardOutput, APipeAndAFileGetEveryByte) {
  HANDLE reader, writer;
  ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 1 << 16));
  {
    StandardHandle out(STD_OUTPUT_HANDLE, writer);
    EXPECT_EQ(write_stdout(kAwkwardBytes.data(), kAwkwardBytes.size()), 0);
  }
  {
    StandardHandle err(STD_ERROR_HANDLE, writer);
    write_stderr(kAwkwardBytes);
  }
  ::CloseHandle(writer);
  EXPECT_EQ(read_pipe(reader), kAwkwardBytes + kAwkwardBytes);
  ::CloseHandle(reader);

  const std::string path = temp_file_path();
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  {
    StandardHandle out(STD_OUTPUT_HANDLE, file);
    EXPECT_EQ(write_stdout(kAwkwardBytes.data(), kAwkwardBytes.size()), 0);
  }
  ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  EXPECT_EQ(read_pipe(file), kAwkwardBytes);
  ::CloseHandle(file);
}

TEST(StandardOutput, NoHandleSwallowsTheBytes) {
  for (HANDLE missing : {HANDLE{nullptr}, INVALID_HANDLE_VALUE}) {
    StandardHandle out(STD_OUTPUT_HANDLE, missing);
    StandardHandle err(STD_ERROR_HANDLE, missing);
    EXPECT_EQ(write_stdout("abc", 3), 0);
    write_stderr("abc");
  }
}

// The reader gone, a write fails with the system's error and its text.
TEST(StandardOutput, AClosedPipeFailsTheWrite) {
  HANDLE reader, writer;
  ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
  ::CloseHandle(reader);
  StandardHandle out(STD_OUTPUT_HANDLE, writer);
  const int error = write_stdout("abc", 3);
  // ERROR_NO_DATA on Windows, ERROR_PIPE_NOT_CONNECTED under Wine.
  EXPECT_TRUE(error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_BROKEN_PIPE) << error;
  const std::string text = error_text(error);
  const std::string suffix = " (os error " + std::to_string(error) + ")";
  ASSERT_GT(text.size(), suffix.size());
  EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.rfind("unknown error", 0), 0u) << text;
  ::CloseHandle(writer);
}

TEST(ErrorText, ACodeWithoutAMessageIsNamedByItsNumber) {
  EXPECT_EQ(error_text(99999), "unknown error (os error 99999)");
}

TEST(Heap, BlocksAreSixteenByteAlignedAndAnImpossibleSizeIsRefused) {
  for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 4096u, 1u << 20}) {
    void* block = heap_alloc(size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << size;
    std::memset(block, 0xAB, size);
    heap_free(block);
  }
  EXPECT_EQ(heap_alloc(SIZE_MAX - 4096), nullptr);
}

TEST(Random, BytesDiffer) {
  unsigned char a[32] = {}, b[32] = {};
  ASSERT_TRUE(random_bytes(a, sizeof a));
  ASSERT_TRUE(random_bytes(b, sizeof b));
  EXPECT_NE(std::memcmp(a, b, sizeof a), 0);
}

}  // namespace
}  // namespace zevo::platform
