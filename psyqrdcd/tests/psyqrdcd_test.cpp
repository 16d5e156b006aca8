// PsyQrDcd.dll as the program meets it: loaded by name, its seven functions
// bound by name, fed paths of pictures from the committed corpus (copied
// into ./corpus beside this test).
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "reader/corpus/corpus_judge.h"
#include "reader/corpus/corpus_manifest.h"

namespace {

using DecodePictureFileFn = int32_t(WINAPI*)(const char* path);
using GetDecodeVersionFn = int32_t(WINAPI*)(int32_t index);
using GetDecodeLevelFn = int32_t(WINAPI*)(int32_t index);
using GetConcatenationInfoFn = int32_t(WINAPI*)(int32_t index, int32_t* position, int32_t* parity);
using GetDecodeDataStringFn = const char*(WINAPI*)(int32_t index);
using GetSymbolePositionFn = int32_t(WINAPI*)(int32_t index, int32_t* corners);
using FreeAllocateMemoryFn = int32_t(WINAPI*)();

struct Library {
  HMODULE module = nullptr;
  DecodePictureFileFn decode = nullptr;
  GetDecodeVersionFn version = nullptr;
  GetDecodeLevelFn level = nullptr;
  GetConcatenationInfoFn concatenation = nullptr;
  GetDecodeDataStringFn data = nullptr;
  GetSymbolePositionFn position = nullptr;
  FreeAllocateMemoryFn free_all = nullptr;
};

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

Library LoadByName() {
  Library lib;
  lib.module = LoadLibraryW(L"PsyQrDcd");
  if (lib.module == nullptr) return lib;
  Bind(lib.module, "DecodePictureFile", lib.decode);
  Bind(lib.module, "GetDecodeVersion", lib.version);
  Bind(lib.module, "GetDecodeLevel", lib.level);
  Bind(lib.module, "GetConcatenationInfo", lib.concatenation);
  Bind(lib.module, "GetDecodeDataString", lib.data);
  Bind(lib.module, "GetSymbolePosition", lib.position);
  Bind(lib.module, "FreeAllocateMemory", lib.free_all);
  return lib;
}

const std::string kCorpus = "corpus/";

const corpus::CorpusImage* FindImage(const corpus::Manifest& manifest, const std::string& file) {
  for (const corpus::CorpusImage& image : manifest.images)
    if (image.file == file) return &image;
  return nullptr;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PsyQrDcdTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lib_ = LoadByName();
    manifest_ = corpus::LoadManifest(kCorpus + "manifest.tsv");
  }

  void SetUp() override {
    ASSERT_NE(lib_.module, nullptr) << "LoadLibraryW(L\"PsyQrDcd\") failed: " << GetLastError();
    ASSERT_TRUE(lib_.decode && lib_.version && lib_.level && lib_.concatenation && lib_.data && lib_.position &&
                lib_.free_all)
        << "a function is missing from the export table";
    ASSERT_EQ(manifest_.error, "");
  }

  // The library's answers for one decode, in the reader's terms, so that the
  // corpus judge can compare them with the manifest.
  std::vector<qr::FoundSymbol> Answers(int32_t count) {
    std::vector<qr::FoundSymbol> found;
    for (int32_t i = 0; i < count; ++i) {
      qr::FoundSymbol s;
      s.content.version = lib_.version(i);
      s.content.level = static_cast<qr::Level>(lib_.level(i));
      int32_t position = -1;
      int32_t parity = -1;
      s.content.append_total = lib_.concatenation(i, &position, &parity);
      s.content.append_position = position;
      s.content.append_parity = parity;
      const char* data = lib_.data(i);
      s.content.utf8 = data ? data : "";
      int32_t corners[8] = {};
      lib_.position(i, corners);
      for (int c = 0; c < 4; ++c) s.corners[c] = {double(corners[2 * c]), double(corners[2 * c + 1])};
      found.push_back(s);
    }
    return found;
  }

  // Decodes a corpus picture and compares every answer with the manifest.
  void ExpectReadsAsManifestSays(const std::string& file) {
    SCOPED_TRACE(file);
    const corpus::CorpusImage* image = FindImage(manifest_, file);
    ASSERT_NE(image, nullptr) << "not in the manifest";
    int32_t count = lib_.decode((kCorpus + file).c_str());
    ASSERT_EQ(count, static_cast<int32_t>(image->symbols.size()));
    corpus::Verdict verdict = corpus::Judge(*image, Answers(count));
    for (const std::string& fault : verdict.faults) ADD_FAILURE() << fault;
    EXPECT_TRUE(verdict.AllRead());
    lib_.free_all();
  }

  void ExpectNoSymbolAt(int32_t index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(lib_.version(index), 0);
    EXPECT_EQ(lib_.level(index), -1);
    int32_t position = 7;
    int32_t parity = 7;
    EXPECT_EQ(lib_.concatenation(index, &position, &parity), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(parity, 0);
    EXPECT_EQ(lib_.data(index), nullptr);
    int32_t corners[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(lib_.position(index, corners), 0);
    for (int32_t v : corners) EXPECT_EQ(v, 0);
  }

  static Library lib_;
  static corpus::Manifest manifest_;
};

Library PsyQrDcdTest::lib_;
corpus::Manifest PsyQrDcdTest::manifest_;

TEST_F(PsyQrDcdTest, ReadsEveryFileTypeThePlatformDecodes) {
  for (const char* file : {"formats/sample_bmp.bmp", "formats/sample_gif.gif", "formats/sample_jpg.jpg",
                           "formats/sample_png.png", "formats/sample_tif.tif", "formats/sample_ico.ico"})
    ExpectReadsAsManifestSays(file);
}

TEST_F(PsyQrDcdTest, ReadsEverySymbolOfAPictureWithItsSequenceAndCorners) {
  for (const char* file : {"structured_append_together/seq1_segno.png", "structured_append_together/seq3_zint.png",
                           "multiple/04_4_symbols.png", "rotation/02_v4_Q_s16.png", "mirrored/01_v3_M_s08.png",
                           "gbk/00_segno.png", "mode/15_kanji_qrencode.png"})
    ExpectReadsAsManifestSays(file);
}

TEST_F(PsyQrDcdTest, ShrinksAHugePictureAndAnswersInItsOwnPixels) {
  ExpectReadsAsManifestSays("large/v03_in_20_megapixels.png");
}

TEST_F(PsyQrDcdTest, PictureWithoutSymbolGivesZero) {
  EXPECT_EQ(lib_.decode((kCorpus + "none/lone_finders.png").c_str()), 0);
  ExpectNoSymbolAt(0);
}

std::string Le16(uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A PNG signature and header chunk claiming 40000 x 40000 pixels, and nothing after it.
const std::string kHugePng("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x9c\x40\0\0\x9c\x40\x08\0\0\0\0", 29);

// Headers of each readable file type claiming far more pixels than the
// library lets a decoder build; none carries any pixel data.
std::vector<std::pair<std::string, std::string>> HugeHeaders() {
  std::string gif = std::string("GIF89a") + Le16(0xFFFF) + Le16(0xFFFF) + std::string("\0\0\0", 3);
  std::string bmp = "BM" + Le32(54) + Le32(0) + Le32(54) + Le32(40) + Le32(100000) + Le32(100000) + Le16(1) +
                    Le16(24) + std::string(24, '\0');
  std::string jpeg = std::string("\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 20) +
                     std::string("\xff\xc0\0\x11\x08\xff\xff\xff\xff\x03", 10);
  std::string tiff = std::string("II*\0", 4) + Le32(8) + Le16(2) + Le16(256) + Le16(4) + Le32(1) + Le32(100000) +
                     Le16(257) + Le16(4) + Le32(1) + Le32(100000) + Le32(0);
  std::string ico = std::string("\0\0\1\0\1\0", 6) + std::string("\0\0\0\0", 4) + Le16(1) + Le16(32) +
                    Le32(static_cast<uint32_t>(kHugePng.size())) + Le32(22) + kHugePng;
  return {{"huge.png", kHugePng}, {"huge.gif", gif}, {"huge.bmp", bmp},
          {"huge.jpg", jpeg},     {"huge.tif", tiff}, {"huge.ico", ico}};
}

TEST_F(PsyQrDcdTest, PicturesClaimingHugeSizesAreRefusedAsOutOfMemory) {
  CreateDirectoryW(L"huge", nullptr);
  for (const auto& [name, bytes] : HugeHeaders()) {
    SCOPED_TRACE(name);
    WriteFile("huge/" + name, bytes);
    EXPECT_EQ(lib_.decode(("huge/" + name).c_str()), -5);
    ExpectNoSymbolAt(0);
  }
}

TEST_F(PsyQrDcdTest, FailuresGiveTheirResultCodes) {
  CreateDirectoryW(L"failures", nullptr);
  WriteFile("failures/not_an_image.png", "This is text, not a picture.\r\n");
  WriteFile("failures/empty.bmp", "");
  WriteFile("failures/truncated.png", ReadFile(kCorpus + "formats/sample_png.png").substr(0, 90));

  struct Case {
    const char* path;
    int32_t code;
  };
  for (const Case& c : std::vector<Case>{{"failures/missing.png", -1},
                                         {"no_such_folder/missing.png", -1},
                                         {"", -1},
                                         {"failures", -2},
                                         {"failures/not_an_image.png", -3},
                                         {"failures/empty.bmp", -3},
                                         {"failures/truncated.png", -3}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(lib_.decode(c.path), c.code);
    ExpectNoSymbolAt(0);
  }
  EXPECT_EQ(lib_.decode(nullptr), -1);
}

TEST_F(PsyQrDcdTest, FileLockedByAnotherGivesSharingViolation) {
  std::string path = "locked.png";
  WriteFile(path, ReadFile(kCorpus + "formats/sample_png.png"));
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(lib_.decode(path.c_str()), -4);
  CloseHandle(lock);
  EXPECT_EQ(lib_.decode(path.c_str()), 1);
  lib_.free_all();
}

TEST_F(PsyQrDcdTest, QueriesOutsideTheLatestResultsAreSafe) {
  ASSERT_EQ(lib_.decode((kCorpus + "formats/sample_png.png").c_str()), 1);
  for (int32_t index : {-1, 1, INT_MIN, INT_MAX}) ExpectNoSymbolAt(index);
  // Outputs the caller did not give are skipped, not written through null.
  EXPECT_EQ(lib_.concatenation(0, nullptr, nullptr), 0);
  EXPECT_EQ(lib_.position(0, nullptr), 1);
  EXPECT_STREQ(lib_.data(0), "PsyQrDcd 格式测试");

  lib_.free_all();
  ExpectNoSymbolAt(0);
  lib_.free_all();  // a second release has nothing left to do
  ExpectNoSymbolAt(0);
}

TEST_F(PsyQrDcdTest, EveryQueryAnswersForTheLatestDecode) {
  ASSERT_EQ(lib_.decode((kCorpus + "structured_append_together/seq1_segno.png").c_str()), 3);
  // A failed decode leaves nothing of the one before it.
  EXPECT_EQ(lib_.decode("failures/missing.png"), -1);
  ExpectNoSymbolAt(0);

  ASSERT_EQ(lib_.decode((kCorpus + "structured_append_together/seq1_segno.png").c_str()), 3);
  ASSERT_EQ(lib_.decode((kCorpus + "formats/sample_png.png").c_str()), 1);
  EXPECT_STREQ(lib_.data(0), "PsyQrDcd 格式测试");
  ExpectNoSymbolAt(1);
  lib_.free_all();
}

// A name the system code page can spell beyond ASCII: the library reads
// paths in that code page, not as UTF-8.
std::wstring NonAsciiName() {
  for (const wchar_t* candidate : {L"二维码.png", L"qr_\u00e9t\u00e9.png", L"qr_\u0436.png"}) {
    BOOL lossy = FALSE;
    char narrow[MAX_PATH];
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, candidate, -1, narrow, MAX_PATH, nullptr, &lossy);
    if (n > 0 && !lossy) return candidate;
  }
  return {};
}

TEST_F(PsyQrDcdTest, ReadsAPathInTheSystemCodePage) {
  std::wstring name = NonAsciiName();
  ASSERT_FALSE(name.empty()) << "the system code page " << GetACP() << " spells none of the candidate names";
  ASSERT_TRUE(CopyFileW(L"corpus\\formats\\sample_png.png", name.c_str(), FALSE));
  char narrow[MAX_PATH];
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
  EXPECT_EQ(lib_.decode(narrow), 1) << "code page " << GetACP();
  EXPECT_STREQ(lib_.data(0), "PsyQrDcd 格式测试");
  lib_.free_all();
}

}  // namespace
