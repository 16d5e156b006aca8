#include "app/picture_box_playback.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace app {
namespace {

TEST(FrameDelayMs, HundredthsBecomeMillisecondsExceptTheSpinningOnes) {
  const struct {
    uint32_t centiseconds;
    int ms;
  } cases[] = {{0, 100}, {1, 100}, {2, 20}, {10, 100}, {65535, 655350}, {0xFFFFFFFF, 655350}};
  for (const auto& c : cases) EXPECT_EQ(FrameDelayMs(c.centiseconds), c.ms) << c.centiseconds;
}

// The frames shown after each of ten advances of a three-frame animation.
TEST(FramePlayback, FollowsTheLoopCount) {
  const struct {
    const char* name;
    std::optional<uint32_t> loop_count;
    std::vector<int> frames_after_each_advance;
    bool still_running;
  } cases[] = {
      {"no loop count: once, then rests on the last frame", std::nullopt, {1, 2, 2, 2, 2, 2, 2, 2, 2, 2}, false},
      {"loop count 0: for ever", 0u, {1, 2, 0, 1, 2, 0, 1, 2, 0, 1}, true},
      {"loop count 1: shown twice", 1u, {1, 2, 0, 1, 2, 2, 2, 2, 2, 2}, false},
      {"loop count 2: shown three times", 2u, {1, 2, 0, 1, 2, 0, 1, 2, 2, 2}, false},
  };
  for (const auto& c : cases) {
    FramePlayback playback({10, 20, 30}, c.loop_count);
    EXPECT_TRUE(playback.running()) << c.name;
    std::vector<int> frames;
    for (int i = 0; i < 10; ++i) {
      playback.Advance();
      frames.push_back(playback.frame());
    }
    EXPECT_EQ(frames, c.frames_after_each_advance) << c.name;
    EXPECT_EQ(playback.running(), c.still_running) << c.name;
  }
}

TEST(FramePlayback, EachFrameKeepsItsOwnDelay) {
  FramePlayback playback({10, 20, 30}, 0u);
  std::vector<int> delays;
  for (int i = 0; i < 4; ++i, playback.Advance()) delays.push_back(playback.delay_ms());
  EXPECT_EQ(delays, (std::vector<int>{10, 20, 30, 10}));
}

TEST(FramePlayback, AStillPictureDoesNotRun) {
  for (FramePlayback still : {FramePlayback(), FramePlayback({100}, 0u)}) {
    EXPECT_FALSE(still.running());
    still.Advance();
    EXPECT_EQ(still.frame(), 0);
  }
}

}  // namespace
}  // namespace app
