// A child process on three pipes, pumped without threads: input is written
// while output is read, so neither side can block the other on a full pipe.
// Header-only so that the benchmarks, which link no test library, can use it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames.hpp"  // beside this file: the benchmarks include it by path

extern char** environ;

namespace zevo::testing {

class ChildProcess {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts `path` with no arguments; false when it could not be started.
  bool start(const std::string& path) { return start(std::vector<std::string>{path}); }

  // Starts the program `command[0]` with the rest as its arguments (a server
  // under an emulator: the emulator, then the server and its arguments).
  bool start(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    const int spawned = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
    for (int fd : {stdin_, stdout_, stderr_}) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (spawned != 0) {
      pid_ = -1;
      return false;
    }
    return true;
  }

  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0 && !exit_code_) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    for (int fd : {stdin_, stdout_, stderr_}) {
      if (fd >= 0) ::close(fd);
    }
  }

  // Queues bytes for the child's standard input; pump() writes them.
  void write(std::string_view bytes) {
    if (written_ == pending_.size()) {
      pending_.clear();
      written_ = 0;
    }
    pending_.append(bytes);
  }

  // Closes standard input once everything queued has been written.
  void close_input() { close_when_written_ = true; }

  // Closes the reading end of the child's standard output: its writes fail from then on.
  void close_output() {
    if (stdout_ >= 0) close_fd(stdout_);
  }

  // One round of I/O, waiting at most `wait_ms` for anything to happen.
  // False when nothing more can ever happen (all pipes closed).
  bool pump(int wait_ms) {
    if (close_when_written_ && !input_pending() && stdin_ >= 0) close_fd(stdin_);
    pollfd fds[3];
    int n = 0;
    if (stdin_ >= 0 && input_pending()) fds[n++] = {stdin_, POLLOUT, 0};
    if (stdout_ >= 0) fds[n++] = {stdout_, POLLIN, 0};
    if (stderr_ >= 0) fds[n++] = {stderr_, POLLIN, 0};
    if (n == 0) return false;
    if (::poll(fds, static_cast<nfds_t>(n), wait_ms) <= 0) return true;
    for (int i = 0; i < n; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == stdin_) {
        const ssize_t w = ::write(stdin_, pending_.data() + written_, pending_.size() - written_);
        if (w > 0) {
          written_ += static_cast<std::size_t>(w);
        } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
          written_ = pending_.size();  // the child closed its input
          close_fd(stdin_);
        }
      } else {
        read_from(fds[i].fd == stdout_ ? stdout_ : stderr_, fds[i].fd == stdout_ ? out_ : err_);
      }
    }
    return true;
  }

  // Pumps until `done()` holds or the deadline passes; returns `done()`.
  template <class Done>
  bool pump_until(Done&& done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return done();
      if (!pump(static_cast<int>(std::min<long>(left.count(), 50)))) {
        if (!done()) reap(deadline);
        return done();
      }
    }
    return true;
  }

  // Waits for the child to end, reading all its output; the exit code, 128 +
  // the signal number for a killed child, or nothing on timeout.
  std::optional<int> wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    pump_until([&] { return stdout_ < 0 && stderr_ < 0; }, timeout);
    reap(deadline);
    return exit_code_;
  }

  std::string& out() { return out_; }
  std::string& err() { return err_; }
  bool input_pending() const { return written_ < pending_.size(); }

 private:
  static void close_fd(int& fd) {
    ::close(fd);
    fd = -1;
  }

  void read_from(int& fd, std::string& into) {
    char buffer[65536];
    for (;;) {
      const ssize_t r = ::read(fd, buffer, sizeof buffer);
      if (r > 0) {
        into.append(buffer, static_cast<std::size_t>(r));
        continue;
      }
      if (r == 0 || (errno != EAGAIN && errno != EINTR)) close_fd(fd);
      return;
    }
  }

  void reap(Clock::time_point deadline) {
    while (pid_ > 0 && !exit_code_) {
      int status = 0;
      const pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return;
      }
      if (Clock::now() >= deadline) return;
      ::usleep(1000);
    }
  }

  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  std::string pending_;
  std::size_t written_ = 0;  // bytes of pending_ already written
  bool close_when_written_ = false;
  std::string out_;
  std::string err_;
  std::optional<int> exit_code_;
};

// The server built beside the running test or benchmark: both live one folder
// below the build directory, the server in its src/ folder.
inline std::string server_binary_path() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "zevo-lsp";
  std::string path(buffer, static_cast<std::size_t>(n));
  path.erase(path.rfind('/'));
  path.erase(path.rfind('/') + 1);
  return path + "src/zevo-lsp";
}

// The command line in the environment variable `name` split at spaces, or
// `fallback` alone when it is unset or empty.
inline std::vector<std::string> command_line(const char* name, const std::string& fallback) {
  const char* line = std::getenv(name);
  if (line == nullptr || *line == '\0') return {fallback};
  std::vector<std::string> words;
  std::string_view rest(line);
  while (!rest.empty()) {
    const std::size_t space = rest.find(' ');
    if (space != 0) words.emplace_back(rest.substr(0, space));
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  return words;
}

// The server the end-to-end tests start: ZEVO_TEST_SERVER, when set, is its
// command line split at spaces (another build of the server, an archived
// binary, or a Windows build under Wine); otherwise the server built beside
// the test.
inline std::vector<std::string> server_command() { return command_line("ZEVO_TEST_SERVER", server_binary_path()); }

}  // namespace zevo::testing
