#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace {

using clock_type = std::chrono::steady_clock;

void close_fd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool try_reap(child_process& child, bool block) {
  if (child.ended) return true;
  int status = 0;
  const pid_t r = waitpid(child.pid, &status, block ? 0 : WNOHANG);
  if (r != child.pid) return false;
  child.ended = true;
  child.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

// Reads what is ready on the output pipes, waiting at most `wait`. False once
// both pipes are closed.
bool pump(child_process& child, std::chrono::milliseconds wait) {
  pollfd fds[2] = {{child.output, POLLIN, 0}, {child.error, POLLIN, 0}};
  if (child.output < 0 && child.error < 0) return false;
  const int ready = poll(fds, 2, static_cast<int>(wait.count()));
  if (ready <= 0) return true;
  int* pipes[2] = {&child.output, &child.error};
  std::string* sinks[2] = {&child.out, &child.err};
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    char buffer[65536];
    const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
    if (n > 0) {
      sinks[i]->append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      close_fd(*pipes[i]);
    }
  }
  return true;
}

}  // namespace

void start_process(child_process& child, const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, bool terminal_input) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    std::abort();
  }
  if (terminal_input) {
    // The terminal's controlling side replaces the pipe's write end.
    close(in[0]);
    close(in[1]);
    in[1] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (in[1] < 0 || grantpt(in[1]) != 0 || unlockpt(in[1]) != 0) std::abort();
    in[0] = open(ptsname(in[1]), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode;
    if (in[0] < 0 || tcgetattr(in[0], &mode) != 0) std::abort();
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(in[0], TCSANOW, &mode);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  child.pid = fork();
  if (child.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (const std::string& e : environment) putenv(const_cast<char*>(e.c_str()));
    execv(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  child.input = in[1];
  child.output = out[0];
  child.error = err[0];
  // A child that ends early must not kill the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
}

void write_input(child_process& child, std::string_view text) {
  while (!text.empty() && child.input >= 0) {
    const ssize_t n = write(child.input, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

void close_input(child_process& child) { close_fd(child.input); }

bool read_output_until(child_process& child, std::string_view text,
                       std::chrono::milliseconds timeout) {
  const auto deadline = clock_type::now() + timeout;
  while (child.out.find(text) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now());
    if (left.count() <= 0 || !pump(child, std::min(left, std::chrono::milliseconds(100)))) {
      return child.out.find(text) != std::string::npos;
    }
  }
  return true;
}

bool wait_for_exit(child_process& child, std::chrono::milliseconds timeout) {
  const auto deadline = clock_type::now() + timeout;
  while (!try_reap(child, false)) {
    if (clock_type::now() >= deadline) return false;
    if (!pump(child, 20ms)) std::this_thread::sleep_for(5ms);
  }
  // What it printed before it ended is still in the pipes.
  while ((child.output >= 0 || child.error >= 0) && clock_type::now() < deadline) pump(child, 20ms);
  return true;
}

void stop_process(child_process& child) {
  if (child.pid > 0 && !child.ended) {
    kill(child.pid, SIGKILL);
    try_reap(child, true);
  }
  // Whatever it printed before it ended is still read, so that nothing it
  // printed late, such as a sanitizer's report, goes unseen.
  close_fd(child.input);
  const auto deadline = clock_type::now() + 10s;
  while ((child.output >= 0 || child.error >= 0) && clock_type::now() < deadline) pump(child, 20ms);
  close_fd(child.output);
  close_fd(child.error);
}
