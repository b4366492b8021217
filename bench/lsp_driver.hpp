// Drives the built server over pipes for the end-to-end benchmarks: messages
// are written framed, and the clock stops when the frame they cause (the
// response, or the diagnostics notification of a document notification) has
// been read back whole.
#pragma once

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "../tests/support/child_process.hpp"

namespace zevo::bench {

inline std::string frame(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

inline std::string json_string(const std::string& text) { return nlohmann::json(text).dump(); }

inline std::string did_open(const std::string& uri, const std::string& text) {
  return frame(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":)" +
               json_string(uri) + R"(,"languageId":"zevo","version":1,"text":)" + json_string(text) + "}}}");
}

inline std::string did_change(const std::string& uri, int version, const std::string& text) {
  return frame(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":)" +
               json_string(uri) + R"(,"version":)" + std::to_string(version) + R"(},"contentChanges":[{"text":)" +
               json_string(text) + "}]}}");
}

inline std::string request(int id, const std::string& method, const std::string& params) {
  return frame(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + method + R"(","params":)" +
               params + "}");
}

// The `q` quantile of the latencies `seconds` (0.5 the median, 0.99 the p99).
inline double quantile(std::vector<double> seconds, double q) {
  std::sort(seconds.begin(), seconds.end());
  return seconds[std::min(seconds.size() - 1, static_cast<std::size_t>(q * static_cast<double>(seconds.size())))];
}

// The main of a benchmark that prints a table of its own after the runs.
inline int run_benchmarks_then(int argc, char** argv, void (*print_table)()) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  print_table();
  return 0;
}

class Server {
 public:
  using Clock = std::chrono::steady_clock;

  explicit Server(const std::string& binary = testing::server_binary_path()) {
    if (!process_.start(binary)) std::abort();
  }
  ~Server() {
    process_.write(frame(R"({"jsonrpc":"2.0","method":"exit"})"));
    process_.close_input();
    process_.wait(std::chrono::seconds(10));
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Sends one framed message and waits for the next frame back; the seconds
  // that took. `body` receives the frame's body when given.
  double round_trip(const std::string& framed, std::string* body = nullptr) {
    const auto start = Clock::now();
    process_.write(framed);
    std::optional<std::string> answer;
    process_.pump_until(
        [&] {
          answer = testing::take_frame(process_.out());
          return answer.has_value();
        },
        std::chrono::seconds(120));
    if (!answer) std::abort();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (body) *body = std::move(*answer);
    return seconds;
  }

  // The server's peak resident size so far in KiB (VmHWM), or 0 when unknown.
  long peak_rss_kib() const { return status_kib("VmHWM:"); }
  // The server's resident size now in KiB (VmRSS), or 0 when unknown.
  long resident_kib() const { return status_kib("VmRSS:"); }
  // Starts the peak resident size (VmHWM) again from the resident size now.
  void reset_peak_rss() const {
    std::ofstream("/proc/" + std::to_string(server_pid()) + "/clear_refs") << "5";
  }
  // The CPU time the server has used so far, in user and in system mode (clock ticks).
  struct CpuTicks {
    long user = 0;
    long system = 0;
  };
  CpuTicks cpu_ticks() const {
    std::ifstream stat("/proc/" + std::to_string(server_pid()) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    CpuTicks ticks;
    if (close == std::string::npos) return ticks;
    // After the name: state and 10 more fields, then utime and stime.
    std::sscanf(text.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &ticks.user,
                &ticks.system);
    return ticks;
  }

 private:
  long status_kib(std::string_view field) const {
    const long pid = server_pid();
    if (pid <= 0) return 0;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + field.size(), nullptr, 10);
    }
    return 0;
  }

  // The child that ChildProcess started: this process's child running zevo-lsp.
  static long server_pid() {
    DIR* proc = ::opendir("/proc");
    if (!proc) return -1;
    long found = -1;
    while (dirent* entry = ::readdir(proc)) {
      const long pid = std::strtol(entry->d_name, nullptr, 10);
      if (pid <= 0) continue;
      std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
      std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const std::size_t close = text.rfind(')');
      if (close == std::string::npos || text.find("(zevo-lsp)") == std::string::npos) continue;
      char state = 0;
      long parent = 0;
      if (std::sscanf(text.c_str() + close + 1, " %c %ld", &state, &parent) == 2 && parent == ::getpid()) {
        found = pid;
        break;
      }
    }
    ::closedir(proc);
    return found;
  }

  testing::ChildProcess process_;
};

}  // namespace zevo::bench
