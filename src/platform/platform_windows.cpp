#include <windows.h>
#include <bcrypt.h>

#include "platform/console_windows.hpp"
#include "platform/platform.hpp"

namespace zevo::platform {

namespace {

constexpr DWORD kMaxTransfer = 1u << 30;

bool is_missing(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

DWORD clamp(std::size_t size) { return size < kMaxTransfer ? static_cast<DWORD>(size) : kMaxTransfer; }

// A console handle as the converters see it.
class ConsoleHandle final : public WideConsole {
 public:
  explicit ConsoleHandle(HANDLE handle) : handle_(handle) {}

  std::uint32_t read(wchar_t* buffer, std::size_t capacity, std::size_t& got) override {
    // A Ctrl+Z ends the read at once, without waiting for Enter.
    CONSOLE_READCONSOLE_CONTROL control{};
    control.nLength = sizeof control;
    control.dwCtrlWakeupMask = 1u << 0x1A;
    DWORD n = 0;
    if (!::ReadConsoleW(handle_, buffer, clamp(capacity), &n, &control)) return ::GetLastError();
    got = n;
    return 0;
  }

  std::uint32_t write(const wchar_t* data, std::size_t size, std::size_t& written) override {
    DWORD n = 0;
    if (!::WriteConsoleW(handle_, data, clamp(size), &n, nullptr)) return ::GetLastError();
    written = n;
    return 0;
  }

 private:
  HANDLE handle_;
};

// Bytes as they are, through a pipe, a file or a console set to UTF-8.
int write_bytes(HANDLE handle, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(handle, data, clamp(size), &written, nullptr)) {
      const DWORD error = ::GetLastError();
      // A handle that is no stream swallows the bytes; a closed pipe is an error.
      return error == ERROR_INVALID_HANDLE ? 0 : static_cast<int>(error);
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    size -= written;
  }
  return 0;
}

// Console output is UTF-16 unless the console's code page is UTF-8.
int write_stream(DWORD which, ConsoleWriter& console_writer, const char* data, std::size_t size) {
  const HANDLE handle = ::GetStdHandle(which);
  if (is_missing(handle)) return 0;
  if (is_console(handle) && ::GetConsoleOutputCP() != CP_UTF8) {
    ConsoleHandle console(handle);
    return console_writer.write(console, data, size);
  }
  return write_bytes(handle, data, size);
}

ConsoleWriter& stdout_console() {
  static ConsoleWriter writer;
  return writer;
}

ConsoleWriter& stderr_console() {
  static ConsoleWriter writer;
  return writer;
}

}  // namespace

ReadResult read_stdin(char* buffer, std::size_t capacity) {
  const HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
  if (is_missing(handle)) return {0, 0};
  if (is_console(handle)) {
    static ConsoleReader reader;
    ConsoleHandle console(handle);
    return reader.read(console, buffer, capacity);
  }
  DWORD got = 0;
  if (::ReadFile(handle, buffer, clamp(capacity), &got, nullptr)) return {got, 0};
  const DWORD error = ::GetLastError();
  // The writer of a pipe closed it (Wine reports that as a read of 0 bytes),
  // the end of a file, or a handle that is no stream: all end of input.
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF || error == ERROR_INVALID_HANDLE) return {0, 0};
  return {0, static_cast<int>(error)};
}

int write_stdout(const char* data, std::size_t size) {
  return write_stream(STD_OUTPUT_HANDLE, stdout_console(), data, size);
}

void write_stderr(std::string_view text) {
  (void)write_stream(STD_ERROR_HANDLE, stderr_console(), text.data(), text.size());
}

std::string error_text(int error) {
  wchar_t wide[512];
  DWORD units = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(error), 0, wide, sizeof wide / sizeof wide[0], nullptr);
  // The system's message ends in a line break, which the log line has of its own.
  while (units > 0 && (wide[units - 1] == L'\n' || wide[units - 1] == L'\r' || wide[units - 1] == L' ')) --units;
  std::string result;
  if (units == 0) {
    result = "unknown error";
  } else {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), result.data(), bytes, nullptr, nullptr);
  }
  result += " (os error ";
  result += std::to_string(error);
  result += ')';
  return result;
}

// Windows has no signal for a closed pipe: the write fails by itself.
void ignore_broken_pipe() {}

// The creator of a pipe chooses its size; the server's ends are given to it.
void widen_pipes() {}

void* heap_alloc(std::size_t size) {
  const HANDLE heap = ::GetProcessHeap();
  if (heap == nullptr) return nullptr;
  return ::HeapAlloc(heap, 0, size == 0 ? 1 : size);
}

void heap_free(void* block) {
  if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

bool random_bytes(void* out, std::size_t size) {
  // ProcessPrng is the system's generator since Windows 10; older systems (and
  // Wine 8) lack it and have BCryptGenRandom.
  using Prng = BOOL(WINAPI*)(PBYTE, SIZE_T);
  static const Prng process_prng = [] {
    const HMODULE module = ::LoadLibraryExW(L"bcryptprimitives.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return Prng{nullptr};
    return reinterpret_cast<Prng>(reinterpret_cast<void*>(::GetProcAddress(module, "ProcessPrng")));
  }();
  auto* bytes = static_cast<unsigned char*>(out);
  if (process_prng != nullptr) return process_prng(bytes, size) != FALSE;
  while (size > 0) {
    const ULONG chunk = size < kMaxTransfer ? static_cast<ULONG>(size) : kMaxTransfer;
    if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, bytes, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
    bytes += chunk;
    size -= chunk;
  }
  return true;
}

// Every write above went straight to its handle, so nothing is left to flush.
void exit_process(int code) { ::ExitProcess(static_cast<UINT>(code)); }

}  // namespace zevo::platform
