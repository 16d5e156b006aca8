// A small HTTP server on 127.0.0.1 for the platform tests: it records each
// request as it arrived on the wire and answers with scripted responses, one
// connection per request.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace web_test {

class LoopbackServer {
 public:
  // An HTTP response; with `hang` the connection stays open after it, so a
  // cut-short answer stalls the client until the server stops.
  struct Response {
    std::string raw;
    bool hang = false;
  };

  static Response Ok(const std::string& body, const std::string& contentType = "image/gif");
  static Response Redirect(const std::string& location);

  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // Answers in order; when they run out, an empty 200 answer.
  void Script(std::vector<Response> responses);
  std::vector<std::string> Requests();

  // A loopback port that nothing listens on.
  static int ClosedPort();

 private:
  void Serve();
  void Answer(SOCKET client);

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::deque<Response> responses_;
  std::vector<std::string> requests_;
  std::vector<SOCKET> hanging_;
  std::thread thread_;
};

}  // namespace web_test
