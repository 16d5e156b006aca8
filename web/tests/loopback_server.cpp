#include "web/tests/loopback_server.h"

#include <ws2tcpip.h>

namespace web_test {

namespace {

SOCKET ListenOnLoopback(int port, int* bound_port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *bound_port = ntohs(address.sin_port);
  return s;
}

// Reads the head and, when it names one, a body of Content-Length bytes.
std::string ReadRequest(SOCKET client) {
  std::string request;
  char buffer[4096];
  size_t wanted = std::string::npos;
  while (wanted == std::string::npos || request.size() < wanted) {
    const int n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
    const size_t head_end = request.find("\r\n\r\n");
    if (head_end == std::string::npos || wanted != std::string::npos) continue;
    size_t length = 0;
    const size_t field = request.find("Content-Length:");
    if (field != std::string::npos && field < head_end) length = std::stoul(request.substr(field + 15));
    wanted = head_end + 4 + length;
  }
  return request;
}

}  // namespace

LoopbackServer::Response LoopbackServer::Ok(const std::string& body, const std::string& contentType) {
  return {"HTTP/1.1 200 OK\r\nContent-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size()) +
          "\r\nConnection: close\r\n\r\n" + body};
}

LoopbackServer::Response LoopbackServer::Redirect(const std::string& location) {
  return {"HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 5\r\nConnection: close\r\n\r\nmoved"};
}

LoopbackServer::LoopbackServer() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = ListenOnLoopback(0, &port_);
  listen(listener_, 8);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  closesocket(listener_);
  thread_.join();
  for (SOCKET s : hanging_) closesocket(s);
  WSACleanup();
}

void LoopbackServer::Script(std::vector<Response> responses) {
  std::lock_guard<std::mutex> lock(mutex_);
  responses_.assign(responses.begin(), responses.end());
  requests_.clear();
}

std::vector<std::string> LoopbackServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int LoopbackServer::ClosedPort() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  int port = 0;
  closesocket(ListenOnLoopback(0, &port));
  WSACleanup();
  return port;
}

void LoopbackServer::Serve() {
  while (!stopping_) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    Answer(client);
  }
}

void LoopbackServer::Answer(SOCKET client) {
  const std::string request = ReadRequest(client);
  Response response = Ok("");
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    if (!responses_.empty()) {
      response = responses_.front();
      responses_.pop_front();
    }
  }
  send(client, response.raw.data(), static_cast<int>(response.raw.size()), 0);
  if (response.hang) {
    hanging_.push_back(client);
    return;
  }
  shutdown(client, SD_SEND);
  closesocket(client);
}

}  // namespace web_test
