// The modal windows, scripted for tests: answers are queued, what was asked
// is recorded.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace app::testing {

class ScriptedDialogs : public Dialogs {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::optional<std::string> OpenFile(std::string_view remembered) override {
    offered_paths.emplace_back(remembered);
    return Next(chosen_files);
  }
  std::optional<uint32_t> ChooseColour(uint32_t initial) override {
    offered_colours.push_back(initial);
    return Next(chosen_colours);
  }

  std::deque<std::optional<std::string>> chosen_files;  // nothing queued: cancel
  std::deque<std::optional<uint32_t>> chosen_colours;
  std::vector<std::string> messages;
  std::vector<std::string> offered_paths;
  std::vector<uint32_t> offered_colours;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace app::testing
