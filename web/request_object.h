// The platform HTTP request object and COM, as the web client drives them.
// On Windows this is WinHttp.WinHttpRequest.5.1 by automation; tests script
// it. A call that fails has no effect; values read afterwards are empty.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace web {

using Bytes = std::vector<uint8_t>;

class RequestObject {
 public:
  virtual ~RequestObject() = default;

  // Resolve, connect, send and receive time-outs in milliseconds.
  virtual void SetTimeouts(int resolve, int connect, int send, int receive) = 0;
  virtual void SetProxy(int setting, const std::string& server) = 0;
  virtual void SetProxyCredentials(const std::string& user, const std::string& password, int flags) = 0;
  virtual void Open(const std::string& method, const std::string& url, bool async) = 0;
  // The indexed property Option(index) = value.
  virtual void SetOption(int index, int value) = 0;
  virtual void SetRequestHeader(const std::string& name, const std::string& value) = 0;
  virtual void SendText(const std::string& body) = 0;
  virtual void SendBytes(const Bytes& body) = 0;
  virtual Bytes ResponseBody() = 0;
  // The response header lines, separated by "\r\n".
  virtual std::string GetAllResponseHeaders() = 0;
};

class WebPlatform {
 public:
  virtual ~WebPlatform() = default;

  // False when COM could not be initialised; it is then not uninitialised.
  virtual bool InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
  // A new request object, or null when it cannot be created.
  virtual std::shared_ptr<RequestObject> CreateRequestObject() = 0;
};

}  // namespace web
