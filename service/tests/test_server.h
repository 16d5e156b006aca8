// A service running in this process on a free loopback port, stopped when
// the test ends, and the requests the tests send to it.
#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "service/server.h"

namespace service::testing {

class TestServer {
 public:
  explicit TestServer(ServerOptions options = {});
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int port() const { return port_; }
  std::vector<std::string> AccessLog() const;
  // A client of this server that sends targets exactly as given.
  httplib::Client Client() const;

 private:
  httplib::Server server_;
  std::thread listener_;
  int port_ = 0;
  mutable std::mutex log_mutex_;
  std::vector<std::string> log_;
};

// Sends `request` as it is over a new loopback connection and returns what
// comes back: one whole answer, or what arrived before the server closed
// the connection or five seconds passed.
std::string RawExchange(int port, std::string_view request);

// Zenqar's percent-encoding of a typed field: every byte outside
// [-.0-9A-Za-z] becomes %XX.
std::string EncodeLikeZenqar(std::string_view utf8);

}  // namespace service::testing
