// A value or the HTTP answer that explains why there is none. The service
// reports every failure this way; nothing throws across its functions.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace service {

struct Failure {
  int status = 500;     // the HTTP status to answer with; at start-up, the exit code
  std::string message;  // one line, no line break
};

template <class T>
class Outcome {
 public:
  Outcome(T value) : value_(std::move(value)) {}
  Outcome(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return value_.has_value(); }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  const Failure& failure() const { return *failure_; }

 private:
  std::optional<T> value_;
  std::optional<Failure> failure_;
};

}  // namespace service
