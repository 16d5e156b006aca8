// The HTTP side of the service: options, the routes and their answers, the
// worker pool, keep-alive and the access log, over cpp-httplib.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "service/outcome.h"
#include "service/query.h"

namespace service {

// Zenqar's built-in request host is this address.
inline constexpr const char* kDefaultHost = "127.0.0.1";
inline constexpr int kDefaultPort = 8731;
// A connection keeps its worker while it is kept alive, so the pool is sized
// for that many open connections rather than for the cores.
inline constexpr size_t kDefaultWorkers = 64;
inline constexpr size_t kMaxWorkers = 1024;
// cpp-httplib's compiled-in limit on the request line; longer lines get 414.
inline constexpr size_t kMaxRequestLine = 8192;

struct ServerOptions {
  std::string host = kDefaultHost;
  int port = kDefaultPort;  // 0: any free port
  size_t workers = kDefaultWorkers;
  ImageFormat default_format = ImageFormat::Png;
  bool show_usage = false;
};

extern const char kUsage[];

// `args` are the command-line arguments after the program name.
Outcome<ServerOptions> ParseServerOptions(const std::vector<std::string_view>& args);

// Receives one finished line per request, without its line break. Called
// from the worker threads.
using AccessLog = std::function<void(const std::string& line)>;

void ConfigureServer(httplib::Server& server, const ServerOptions& options, AccessLog log);

// Binds the listening socket; returns the port, which differs from the one
// asked for only when that was 0. Another process on the port is an error.
Outcome<int> BindServer(httplib::Server& server, const ServerOptions& options);

std::string FormatAccessLine(const httplib::Request& request, const httplib::Response& response);

}  // namespace service
