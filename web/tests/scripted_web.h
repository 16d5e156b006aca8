// A scripted request object and platform: every call is logged in order, and
// each created object answers with the next scripted answer.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "web/request_object.h"

namespace web_test {

using web::Bytes;

struct Answer {
  Bytes body;
  std::string headers;
};

struct Script {
  std::vector<std::string> log;
  std::deque<Answer> answers;
  bool creationFails = false;
  bool comFails = false;
  int created = 0;
};

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

class ScriptedRequest : public web::RequestObject {
 public:
  ScriptedRequest(Script& script, Answer answer) : script_(script), answer_(std::move(answer)) {}
  ~ScriptedRequest() override { Log("Release"); }

  void SetTimeouts(int resolve, int connect, int send, int receive) override {
    Log("SetTimeouts " + std::to_string(resolve) + " " + std::to_string(connect) + " " + std::to_string(send) + " " +
        std::to_string(receive));
  }
  void SetProxy(int setting, const std::string& server) override {
    Log("SetProxy " + std::to_string(setting) + " " + server);
  }
  void SetProxyCredentials(const std::string& user, const std::string& password, int flags) override {
    Log("SetProxyCredentials " + user + " " + password + " " + std::to_string(flags));
  }
  void Open(const std::string& method, const std::string& url, bool async) override {
    Log("Open " + method + " " + url + (async ? " async" : " sync"));
  }
  void SetOption(int index, int value) override {
    Log("Option " + std::to_string(index) + " " + std::to_string(value));
  }
  void SetRequestHeader(const std::string& name, const std::string& value) override {
    Log("Header " + name + "|" + value);
  }
  void SendText(const std::string& body) override { Log("SendText " + body); }
  void SendBytes(const Bytes& body) override { Log("SendBytes " + std::to_string(body.size())); }
  Bytes ResponseBody() override {
    Log("ResponseBody");
    return answer_.body;
  }
  std::string GetAllResponseHeaders() override {
    Log("GetallResponseHeaders");
    return answer_.headers;
  }

 private:
  void Log(std::string entry) { script_.log.push_back(std::move(entry)); }

  Script& script_;
  Answer answer_;
};

class ScriptedPlatform : public web::WebPlatform {
 public:
  explicit ScriptedPlatform(Script& script) : script_(script) {}

  bool InitializeCom() override {
    script_.log.push_back("CoInitialize");
    return !script_.comFails;
  }
  void UninitializeCom() override { script_.log.push_back("CoUninitialize"); }
  std::shared_ptr<web::RequestObject> CreateRequestObject() override {
    script_.log.push_back("Create");
    if (script_.creationFails) return nullptr;
    ++script_.created;
    Answer answer;
    if (!script_.answers.empty()) {
      answer = script_.answers.front();
      script_.answers.pop_front();
    }
    return std::make_shared<ScriptedRequest>(script_, answer);
  }

 private:
  Script& script_;
};

}  // namespace web_test
