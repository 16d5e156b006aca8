// How an animated picture steps through its frames: each frame's delay and
// the loop count, as browsers play GIF animations. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace app {

// A frame delay as stored (hundredths of a second) in milliseconds. Delays of
// 0 and 1 would spin the processor; browsers show such frames for 100 ms.
int FrameDelayMs(uint32_t centiseconds);

class FramePlayback {
 public:
  FramePlayback() = default;  // a still picture: nothing to play
  // `loop_count` is the animation's repeat count: none plays it once, 0 plays
  // it for ever, n plays it once and repeats it n times.
  FramePlayback(std::vector<int> delays_ms, std::optional<uint32_t> loop_count);

  int frame() const { return frame_; }
  int frame_count() const { return static_cast<int>(delays_ms_.size()); }
  // Whether a later frame is still to come; a finished animation stays on its
  // last frame.
  bool running() const { return running_; }
  // How long the current frame stays before Advance.
  int delay_ms() const { return delays_ms_.empty() ? 0 : delays_ms_[static_cast<size_t>(frame_)]; }
  // Moves on once the current frame's delay has passed.
  void Advance();

 private:
  std::vector<int> delays_ms_;
  std::optional<uint32_t> repeats_left_;  // none: for ever
  int frame_ = 0;
  bool running_ = false;
};

}  // namespace app
