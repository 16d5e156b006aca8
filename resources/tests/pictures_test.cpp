// The carried pictures have the formats the window relies on. Natively the
// committed files are read; on Windows the bytes come out of this program's
// resources, through the same accessors the program uses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "resources/pictures.h"
#endif

namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;
using ::testing::Each;
using ::testing::Field;
using ::testing::Le;

int U16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
int32_t I32(const Bytes& b, size_t at) {
  return static_cast<int32_t>(static_cast<uint32_t>(U16(b, at)) | static_cast<uint32_t>(U16(b, at + 2)) << 16);
}

// --- reading the GIF container -------------------------------------------------

struct GifFrame {
  int left, top, width, height;
  int delay_centiseconds;
  bool local_table;
};

struct GifSummary {
  std::string version;
  int width = 0, height = 0;
  bool global_table = false;
  std::optional<int> loop_count;
  std::vector<GifFrame> frames;
};

size_t SkipSubBlocks(const Bytes& b, size_t at) {
  while (b.at(at) != 0) at += 1 + b.at(at);
  return at + 1;
}

size_t ColourTableBytes(uint8_t flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0; }

GifSummary ReadGif(const Bytes& b) {
  GifSummary gif;
  gif.version = std::string(b.begin(), b.begin() + 6);
  gif.width = U16(b, 6);
  gif.height = U16(b, 8);
  gif.global_table = (b.at(10) & 0x80) != 0;
  size_t at = 13 + ColourTableBytes(b.at(10));
  int pending_delay = 0;
  while (b.at(at) != 0x3B) {
    if (b.at(at) == 0x21) {
      const uint8_t label = b.at(at + 1);
      if (label == 0xF9) pending_delay = U16(b, at + 4);
      if (label == 0xFF && std::string(b.begin() + at + 3, b.begin() + at + 14) == "NETSCAPE2.0")
        gif.loop_count = U16(b, at + 16);
      at = SkipSubBlocks(b, at + 2);
    } else if (b.at(at) == 0x2C) {
      const uint8_t flags = b.at(at + 9);
      gif.frames.push_back({U16(b, at + 1), U16(b, at + 3), U16(b, at + 5), U16(b, at + 7), pending_delay,
                            (flags & 0x80) != 0});
      at = SkipSubBlocks(b, at + 10 + ColourTableBytes(flags) + 1);
    } else {
      ADD_FAILURE() << "unexpected GIF block " << int{b.at(at)} << " at " << at;
      break;
    }
  }
  return gif;
}

// --- where the bytes come from -----------------------------------------------------

struct IconImage {
  int width, height, bits;
  bool operator==(const IconImage&) const = default;
};

// The image header of one icon image: a BITMAPINFOHEADER whose height covers
// the colours and the mask.
IconImage IconImageFromHeader(const Bytes& b, size_t at) {
  EXPECT_EQ(I32(b, at), 40);
  return {I32(b, at + 4), I32(b, at + 8) / 2, U16(b, at + 14)};
}

#ifdef _WIN32

Bytes StartPictureBytes() { return resources::StartPicture(); }
Bytes WorkingPictureBytes() { return resources::WorkingPicture(); }
Bytes PageLabelPictureBytes() { return resources::PageLabelPicture(); }

Bytes ResourceBytes(LPCWSTR name, LPCWSTR type) {
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(program, name, type);
  if (found == nullptr) return {};
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(program, found)));
  return Bytes(data, data + SizeofResource(program, found));
}

// The icon group lists its images by resource number (GRPICONDIR).
std::vector<IconImage> WindowIconImages() {
  const Bytes group = ResourceBytes(MAKEINTRESOURCEW(resources::kWindowIconId), RT_GROUP_ICON);
  std::vector<IconImage> images;
  for (int i = 0; i < U16(group, 4); ++i) {
    const int id = U16(group, 6 + 14 * static_cast<size_t>(i) + 12);
    images.push_back(IconImageFromHeader(ResourceBytes(MAKEINTRESOURCEW(id), RT_ICON), 0));
  }
  return images;
}

#else

Bytes FileBytes(const std::string& name) {
  std::ifstream file(std::string(ZENQAR_RESOURCES_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

Bytes StartPictureBytes() { return FileBytes("start_picture.gif"); }
Bytes WorkingPictureBytes() { return FileBytes("working_picture.gif"); }
Bytes PageLabelPictureBytes() { return FileBytes("page_label_picture.bmp"); }

// The icon file lists its images with their offsets (ICONDIR).
std::vector<IconImage> WindowIconImages() {
  const Bytes icon = FileBytes("zenqar.ico");
  EXPECT_EQ(U16(icon, 2), 1) << "an icon, not a cursor";
  std::vector<IconImage> images;
  for (int i = 0; i < U16(icon, 4); ++i) {
    images.push_back(IconImageFromHeader(icon, static_cast<size_t>(I32(icon, 6 + 16 * static_cast<size_t>(i) + 12))));
  }
  return images;
}

#endif

// --- the pictures ------------------------------------------------------------------

TEST(CarriedPictures, StartPictureIsOneFrameGif89aOf220Square) {
  const GifSummary gif = ReadGif(StartPictureBytes());
  EXPECT_EQ(gif.version, "GIF89a");
  EXPECT_EQ(gif.width, 220);
  EXPECT_EQ(gif.height, 220);
  ASSERT_EQ(gif.frames.size(), 1u);
  EXPECT_EQ(gif.frames[0].width, 220);
  EXPECT_EQ(gif.frames[0].height, 220);
}

TEST(CarriedPictures, WorkingPictureLoopsNineFramesOfATenthSecondForEver) {
  const GifSummary gif = ReadGif(WorkingPictureBytes());
  EXPECT_EQ(gif.version, "GIF89a");
  EXPECT_EQ(gif.width, 220);
  EXPECT_EQ(gif.height, 220);
  EXPECT_TRUE(gif.global_table);
  EXPECT_EQ(gif.loop_count, 0) << "NETSCAPE2.0 loop count 0 repeats for ever";
  ASSERT_EQ(gif.frames.size(), 9u);
  EXPECT_THAT(gif.frames, Each(Field(&GifFrame::delay_centiseconds, 10)));
  EXPECT_THAT(gif.frames, Each(Field(&GifFrame::local_table, false)));
  EXPECT_EQ(gif.frames[0].left, 0);
  EXPECT_EQ(gif.frames[0].top, 0);
  EXPECT_EQ(gif.frames[0].width, 220);
  EXPECT_EQ(gif.frames[0].height, 220);
  for (size_t i = 1; i < gif.frames.size(); ++i) {
    const GifFrame& f = gif.frames[i];
    SCOPED_TRACE("frame " + std::to_string(i));
    EXPECT_THAT(f.width, Le(89));
    EXPECT_THAT(f.height, Le(89));
    // In the middle: the region stays clear of the outer quarter on each side.
    EXPECT_GE(f.left, 55);
    EXPECT_GE(f.top, 30);
    EXPECT_LE(f.left + f.width, 165);
    EXPECT_LE(f.top + f.height, 165);
  }
}

TEST(CarriedPictures, PageLabelPictureIsA24BitFramedFill) {
  const Bytes bmp = PageLabelPictureBytes();
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  const int width = I32(bmp, 18), height = I32(bmp, 22);
  ASSERT_EQ(width, 60);
  ASSERT_EQ(height, 25) << "bottom-up rows";
  EXPECT_EQ(U16(bmp, 28), 24);
  EXPECT_EQ(I32(bmp, 30), 0) << "uncompressed";
  const auto pixel = [&](int x, int y) {
    const size_t at = static_cast<size_t>(I32(bmp, 10) + (height - 1 - y) * ((width * 3 + 3) & ~3) + x * 3);
    return std::vector<int>{bmp.at(at + 2), bmp.at(at + 1), bmp.at(at)};  // stored blue, green, red
  };
  const std::vector<int> frame{145, 167, 180}, fill{252, 252, 254};
  for (const auto& [x, y] : {std::pair{0, 0}, {59, 0}, {0, 24}, {59, 24}, {30, 0}, {0, 12}, {59, 12}, {30, 24}}) {
    EXPECT_EQ(pixel(x, y), frame) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{1, 1}, {58, 23}, {30, 12}}) EXPECT_EQ(pixel(x, y), fill) << x << "," << y;
}

TEST(CarriedPictures, WindowIconHas24BitImagesOf145AndTheSmallSizes) {
  EXPECT_THAT(WindowIconImages(), ElementsAre(IconImage{16, 16, 24}, IconImage{32, 32, 24}, IconImage{48, 48, 24},
                                              IconImage{145, 145, 24}));
#ifdef _WIN32
  HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resources::kWindowIconId), IMAGE_ICON, 145,
                           145, 0);
  EXPECT_NE(icon, nullptr);
  if (icon != nullptr) DestroyIcon(static_cast<HICON>(icon));
#endif
}

}  // namespace
