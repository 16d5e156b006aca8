// The zenqar-service program itself, run as a child process on loopback.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "service/tests/test_server.h"

extern char** environ;

namespace service {
namespace {

using Clock = std::chrono::steady_clock;

class ServiceProcess {
 public:
  explicit ServiceProcess(std::vector<std::string> args) {
    args.insert(args.begin(), ZENQAR_SERVICE_BINARY);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    stderr_ = pipe_ends[0];
  }

  ~ServiceProcess() {
    if (pid_ > 0 && !exit_code_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (stderr_ >= 0) close(stderr_);
  }

  bool started() const { return pid_ > 0; }
  const std::string& Output() const { return output_; }
  void Signal(int signal_number) const { kill(pid_, signal_number); }

  // Reads stderr until it holds `marker`, or ends, or `seconds` pass;
  // returns all read so far.
  const std::string& ReadUntil(std::string_view marker, int seconds) {
    if (stderr_ < 0) return output_;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (output_.find(marker) == std::string::npos && Clock::now() < deadline) {
      pollfd readable{stderr_, POLLIN, 0};
      if (poll(&readable, 1, 50) <= 0) continue;
      char buffer[4096];
      ssize_t n = read(stderr_, buffer, sizeof(buffer));
      if (n <= 0) {
        close(stderr_);
        stderr_ = -1;
        break;
      }
      output_.append(buffer, static_cast<size_t>(n));
    }
    return output_;
  }

  // The exit code, or nothing if the process is still running after `seconds`.
  std::optional<int> WaitForExit(int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!exit_code_ && Clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    if (exit_code_) ReadUntil("\x01", 5);  // to the end of what it wrote
    return exit_code_;
  }

 private:
  pid_t pid_ = -1;
  int stderr_ = -1;
  std::string output_;
  std::optional<int> exit_code_;
};

int ListeningPort(const std::string& output) {
  const std::string marker = "listening on http://127.0.0.1:";
  size_t at = output.find(marker);
  return at == std::string::npos ? 0 : std::atoi(output.c_str() + at + marker.size());
}

TEST(Process, ServesAndStopsCleanlyOnSigintAndSigterm) {
  for (int signal_number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal_number == SIGTERM ? "SIGTERM" : "SIGINT");
    ServiceProcess service({"--listen", "127.0.0.1", "--port", "0", "--workers", "4"});
    ASSERT_TRUE(service.started());
    const int port = ListeningPort(service.ReadUntil("/api.php\n", 20));
    ASSERT_GT(port, 0) << service.Output();

    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);  // left open: shutting down must not wait for it
    httplib::Result result = client.Get("/api.php?el=L&text=stop");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/png");

    service.ReadUntil("\" 200 ", 10);
    service.Signal(signal_number);
    EXPECT_EQ(service.WaitForExit(20), 0);
    const std::string& output = service.Output();
    EXPECT_NE(output.find("\"GET /api.php?el=L&text=stop\" 200 "), std::string::npos) << output;
    EXPECT_NE(output.find("zenqar-service: stopped"), std::string::npos) << output;
  }
}

TEST(Process, RefusesAPortThatIsTaken) {
  testing::TestServer taken;
  ServiceProcess service({"--port", std::to_string(taken.port())});
  ASSERT_TRUE(service.started());
  EXPECT_EQ(service.WaitForExit(20), 1);
  EXPECT_NE(service.Output().find("cannot listen on 127.0.0.1:"), std::string::npos);
}

TEST(Process, RefusesBadOptions) {
  const std::vector<std::string> bad[] = {
      {"--port", "70000"}, {"--port"}, {"--workers", "0"}, {"--format", "bmp"}, {"--verbose", "yes"},
  };
  for (const auto& args : bad) {
    ServiceProcess service(args);
    ASSERT_TRUE(service.started());
    EXPECT_EQ(service.WaitForExit(20), 2) << args[0];
    EXPECT_NE(service.Output().find("usage: zenqar-service"), std::string::npos) << args[0];
  }
}

}  // namespace
}  // namespace service
