#include "service/server.h"

#include <sys/socket.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "service/api.h"

namespace service {
namespace {

constexpr size_t kKeepAliveRequests = 1000;
// An idle kept-alive connection holds a worker, and stopping waits for it.
constexpr time_t kKeepAliveSeconds = 2;
constexpr size_t kMaxBodyBytes = 64 * 1024;  // GET needs none; this bounds what a client can make us hold
constexpr size_t kLoggedTargetBytes = 512;

std::optional<long> ParseNumber(std::string_view text, long min, long max) {
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

// The error answers of the HTTP layer get a line of text like ours.
void ExplainHttpError(const httplib::Request&, httplib::Response& response) {
  if (!response.body.empty()) return;  // an answer of the service, already explained
  std::string line;
  switch (response.status) {
    case 404: line = "not found: the service answers GET /api.php?...&text=<content>"; break;
    case 414: line = "request line too long: at most " + std::to_string(kMaxRequestLine) + " bytes"; break;
    case 413: line = "request body too large"; break;
    case 400: line = "bad request"; break;
    default: line = "HTTP error " + std::to_string(response.status); break;
  }
  HttpAnswer answer = TextAnswer(response.status, line);
  response.set_content(answer.body, answer.content_type);
}

void ExplainException(const httplib::Request&, httplib::Response& response, std::exception_ptr) {
  HttpAnswer answer = TextAnswer(500, "internal error");
  response.status = answer.status;
  response.set_content(answer.body, answer.content_type);
}

// Only SO_REUSEADDR: cpp-httplib's default SO_REUSEPORT would let a second
// service bind the same port and silently take half of the requests.
void ExclusivePortOptions(socket_t sock) {
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

void AppendEscaped(std::string& line, std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') {
      char escaped[5];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
      line += escaped;
    } else {
      line += static_cast<char>(c);
    }
  }
}

std::string UtcTimestamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  size_t length = std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(text + length, sizeof(text) - length, ".%03dZ", static_cast<int>(millis));
  return text;
}

}  // namespace

const char kUsage[] =
    "usage: zenqar-service [--listen ADDRESS] [--port PORT] [--workers N] [--format png|gif]\n"
    "  --listen ADDRESS  address to listen on (default 127.0.0.1)\n"
    "  --port PORT       port to listen on, 0 for any free one (default 8731)\n"
    "  --workers N       worker threads, each serving one connection at a time (default 64)\n"
    "  --format FORMAT   image format when the query has no format key (default png)\n"
    "Answers GET /api.php?fg=RRGGBB&bg=..&gc=..&pt=..&inpt=..&el=L|M|Q|H[&w=PX][&m=MODULES][&format=png|gif]&text=...\n"
    "Stops cleanly on SIGINT or SIGTERM; one access-log line per request on stderr.\n";

Outcome<ServerOptions> ParseServerOptions(const std::vector<std::string_view>& args) {
  ServerOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    if (name == "--help" || name == "-h") {
      options.show_usage = true;
      continue;
    }
    if (i + 1 == args.size()) return Failure{2, "missing value after " + std::string(name)};
    std::string_view value = args[++i];
    if (name == "--listen") {
      options.host = value;
    } else if (name == "--port") {
      auto port = ParseNumber(value, 0, 65535);
      if (!port) return Failure{2, "bad port: " + std::string(value)};
      options.port = static_cast<int>(*port);
    } else if (name == "--workers") {
      auto workers = ParseNumber(value, 1, static_cast<long>(kMaxWorkers));
      if (!workers) return Failure{2, "bad worker count (1 to 1024): " + std::string(value)};
      options.workers = static_cast<size_t>(*workers);
    } else if (name == "--format") {
      if (value == "png") options.default_format = ImageFormat::Png;
      else if (value == "gif") options.default_format = ImageFormat::Gif;
      else return Failure{2, "bad format (png or gif): " + std::string(value)};
    } else {
      return Failure{2, "unknown option: " + std::string(name)};
    }
  }
  return options;
}

void ConfigureServer(httplib::Server& server, const ServerOptions& options, AccessLog log) {
  const size_t workers = options.workers;
  server.new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  server.set_keep_alive_max_count(kKeepAliveRequests);
  server.set_keep_alive_timeout(kKeepAliveSeconds);
  server.set_payload_max_length(kMaxBodyBytes);
  // Headers and body go out in two writes; without this the body can wait
  // for the client's delayed acknowledgement.
  server.set_tcp_nodelay(true);
  server.set_socket_options(ExclusivePortOptions);

  server.Get(R"(/api\.php)", [format = options.default_format](const httplib::Request& request,
                                                                 httplib::Response& response) {
    HttpAnswer answer = AnswerImageRequest(request.target, format);
    response.status = answer.status;
    response.set_content(answer.body, answer.content_type);
  });
  server.set_error_handler(ExplainHttpError);
  server.set_exception_handler(ExplainException);
  if (log) {
    server.set_logger([log = std::move(log)](const httplib::Request& request, const httplib::Response& response) {
      log(FormatAccessLine(request, response));
    });
  }
}

Outcome<int> BindServer(httplib::Server& server, const ServerOptions& options) {
  int port = options.port;
  bool bound = port == 0 ? (port = server.bind_to_any_port(options.host)) > 0
                         : server.bind_to_port(options.host, port);
  if (!bound) {
    return Failure{1, "cannot listen on " + options.host + ":" + std::to_string(options.port) +
                          " (address in use or not available here)"};
  }
  return port;
}

std::string FormatAccessLine(const httplib::Request& request, const httplib::Response& response) {
  std::string line = UtcTimestamp();
  line += ' ';
  line += request.remote_addr.empty() ? "-" : request.remote_addr;
  line += " \"";
  AppendEscaped(line, request.method.empty() ? "-" : request.method);
  line += ' ';
  std::string_view target = request.target;
  if (target.empty()) target = "-";
  AppendEscaped(line, target.substr(0, kLoggedTargetBytes));
  if (target.size() > kLoggedTargetBytes) line += "...";
  line += "\" ";
  line += std::to_string(response.status);
  line += ' ';
  line += std::to_string(response.body.size());
  return line;
}

}  // namespace service
