// Measures how long a reply takes from the driver's delivery to the bytes on
// the console's standard output. Starts the given tarvix (with the latency
// driver beside it) with its standard output on a pipe and its standard input
// on a pipe that stays open and silent, reads the pipe, and for every
// "latency SEQ NANOSECONDS" line takes CLOCK_MONOTONIC at the moment read()
// returned the line's last byte, minus the driver's reading.
//
//   latency_probe DIR/tarvix [COUNT [INTERVAL_US]]
//
// Prints: replies COUNT lost N median_us M p90_us M p99_us M max_us M
// Exit status 1 when a reply is missing, doubled or out of order.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

long long monotonic_ns() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

double percentile_us(const std::vector<long long>& sorted, double p) {
  const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return static_cast<double>(sorted[i]) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: latency_probe DIR/tarvix [COUNT [INTERVAL_US]]\n");
    return 2;
  }
  const long count = argc > 2 ? std::atol(argv[2]) : 1000;
  const char* interval = argc > 3 ? argv[3] : "2000";
  setenv("LATDRV_COUNT", std::to_string(count).c_str(), 1);
  setenv("LATDRV_INTERVAL_US", interval, 1);

  int input[2];
  int output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return 2;
  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    dup2(input[0], 0);
    dup2(output[1], 1);
    close(input[0]);
    close(input[1]);
    close(output[0]);
    close(output[1]);
    execl(argv[1], "tarvix", "LON1", "8000000180F7", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(input[0]);
  close(output[1]);

  std::vector<long long> latencies;
  latencies.reserve(static_cast<std::size_t>(count));
  long expected = 1;
  long bad = 0;
  std::string pending;
  char chunk[4096];
  while (expected <= count) {
    const ssize_t n = read(output[0], chunk, sizeof chunk);
    const long long arrived = monotonic_ns();
    if (n <= 0) break;
    pending.append(chunk, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      long seq = 0;
      long long stamp = 0;
      if (std::sscanf(pending.c_str(), "latency %ld %lld", &seq, &stamp) == 2) {
        if (seq == expected) {
          latencies.push_back(arrived - stamp);
        } else {
          ++bad;
        }
        expected = seq + 1;
      }
      pending.erase(0, end + 1);
    }
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);

  const long lost = count - static_cast<long>(latencies.size());
  if (latencies.empty()) {
    std::printf("replies 0 lost %ld\n", lost);
    return 1;
  }
  std::sort(latencies.begin(), latencies.end());
  std::printf("replies %zu lost %ld median_us %.1f p90_us %.1f p99_us %.1f max_us %.1f\n",
              latencies.size(), lost, percentile_us(latencies, 0.5), percentile_us(latencies, 0.9),
              percentile_us(latencies, 0.99), static_cast<double>(latencies.back()) / 1000.0);
  return lost == 0 && bad == 0 ? 0 : 1;
}
