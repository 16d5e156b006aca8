// zenqar-service: the QR image service that Zenqar asks for its pictures.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "service/server.h"

namespace {

void WriteToStderr(const std::string& line) {
  // One call per line, so that lines of different workers do not interleave.
  std::fprintf(stderr, "%s\n", line.c_str());
}

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  auto options = service::ParseServerOptions(args);
  if (!options.ok()) {
    std::fprintf(stderr, "zenqar-service: %s\n%s", options.failure().message.c_str(), service::kUsage);
    return options.failure().status;
  }
  if (options.value().show_usage) {
    std::fputs(service::kUsage, stdout);
    return 0;
  }

  // Every image allocates and frees a few hundred kilobytes (zlib's state,
  // the pixels). Kept in the heap rather than mapped afresh and trimmed each
  // time, they cost no page faults, which were a third of the CPU time.
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);

  // A client that goes away in the middle of an answer, or a closed log
  // pipe, must not end the service.
  signal(SIGPIPE, SIG_IGN);

  // Blocked before any thread starts, so every worker inherits the mask and
  // the stop signals reach only the thread that waits for them.
  const sigset_t stop_signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  httplib::Server server;
  service::ConfigureServer(server, options.value(), WriteToStderr);
  auto port = service::BindServer(server, options.value());
  if (!port.ok()) {
    std::fprintf(stderr, "zenqar-service: %s\n", port.failure().message.c_str());
    return port.failure().status;
  }
  std::fprintf(stderr, "zenqar-service: listening on http://%s:%d/api.php\n", options.value().host.c_str(),
               port.value());

  std::atomic<bool> signal_received{false};
  std::thread stopper([&] {
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    signal_received = true;
    server.stop();
  });
  server.listen_after_bind();
  // Listening can also end on its own, on an accept error: wake the stopper.
  const bool ended_without_signal = !signal_received;
  if (ended_without_signal) pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  if (ended_without_signal) {
    std::fprintf(stderr, "zenqar-service: stopped listening unexpectedly\n");
    return 1;
  }
  std::fprintf(stderr, "zenqar-service: stopped\n");
  return 0;
}
