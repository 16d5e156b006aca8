#include "service/tests/test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace service::testing {

TestServer::TestServer(ServerOptions options) {
  options.host = "127.0.0.1";
  options.port = 0;
  ConfigureServer(server_, options, [this](const std::string& line) {
    std::lock_guard<std::mutex> lock(log_mutex_);
    log_.push_back(line);
  });
  auto port = BindServer(server_, options);
  if (!port.ok()) throw std::runtime_error(port.failure().message);
  port_ = port.value();
  listener_ = std::thread([this] { server_.listen_after_bind(); });
  // The socket listens already; this only waits for the accept loop.
  for (int i = 0; i < 500 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TestServer::~TestServer() {
  server_.stop();
  listener_.join();
}

std::vector<std::string> TestServer::AccessLog() const {
  std::lock_guard<std::mutex> lock(log_mutex_);
  return log_;
}

httplib::Client TestServer::Client() const {
  httplib::Client client("127.0.0.1", port_);
  client.set_url_encode(false);
  client.set_connection_timeout(5);
  client.set_read_timeout(10);
  return client;
}

namespace {

// A kept-alive connection stays open after the answer, so the answer's end
// is found from its Content-Length.
bool IsCompleteAnswer(const std::string& answer) {
  size_t header_end = answer.find("\r\n\r\n");
  if (header_end == std::string::npos) return false;
  const std::string field = "\r\nContent-Length: ";
  size_t at = answer.find(field);
  if (at == std::string::npos || at > header_end) return false;
  size_t length = std::strtoul(answer.c_str() + at + field.size(), nullptr, 10);
  return answer.size() >= header_end + 4 + length;
}

}  // namespace

std::string RawExchange(int port, std::string_view request) {
  int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
    for (size_t sent = 0; sent < request.size();) {
      ssize_t n = send(sock, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;  // the server may answer and close before reading it all
      sent += static_cast<size_t>(n);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd readable{sock, POLLIN, 0};
      if (poll(&readable, 1, 100) <= 0) continue;
      ssize_t n = recv(sock, buffer, sizeof(buffer), 0);
      if (n <= 0) break;
      answer.append(buffer, static_cast<size_t>(n));
      if (IsCompleteAnswer(answer)) break;
    }
  }
  close(sock);
  return answer;
}

std::string EncodeLikeZenqar(std::string_view utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : utf8) {
    bool kept = c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (kept) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

}  // namespace service::testing
