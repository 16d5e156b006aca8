// The window as the commands see it, scripted for tests: what they read comes
// from the maps (the boxes start as the window definition has them), what they
// do is logged in order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/controls.h"

namespace app::testing {

class ScriptedControls : public Controls {
 public:
  ScriptedControls() {
    colours[ControlId::颜色选择器_背景颜色] = 0xFFFFFF;
    texts[ControlId::编辑框_网址] = "http://";
    texts[ControlId::编辑框_名片网址] = "http://";
  }

  std::string Text(ControlId id) const override {
    const auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(ControlId id, std::string_view text) override { texts[id] = std::string(text); }
  uint32_t Colour(ControlId id) const override {
    const auto it = colours.find(id);
    return it == colours.end() ? 0 : it->second;
  }
  int SelectedIndex(ControlId id) const override {
    const auto it = indices.find(id);
    return it == indices.end() ? 0 : it->second;
  }
  void SetPicture(const Bytes& image) override {
    picture = image;
    log.push_back("picture " + std::string(image.begin(), image.end()));
  }
  void PumpEvents(int milliseconds) override {
    log.push_back("pump " + std::to_string(milliseconds));
    if (onPump) onPump();
  }
  void* WindowHandle(ControlId id) const override {
    const auto it = handles.find(id);
    return it == handles.end() ? nullptr : it->second;
  }

  std::map<ControlId, std::string> texts;
  std::map<ControlId, uint32_t> colours;
  std::map<ControlId, int> indices;
  std::map<ControlId, void*> handles;
  Bytes picture = {'S'};  // a picture is shown at start
  std::vector<std::string> log;
  std::function<void()> onPump;
};

}  // namespace app::testing
