// Every PNG of the committed corpus through our reader, judged against what
// the encoders wrote and against ZXing-C++: whatever ZXing reads, we read too.
#include <gtest/gtest.h>

#include <algorithm>

#include "reader/corpus/corpus_judge.h"
#include "reader/corpus/corpus_manifest.h"
#include "reader/corpus/grey_png.h"
#include "reader/corpus/zxing_oracle.h"
#include "reader/qr_reader.h"

namespace corpus {
namespace {

const std::string kCorpusDir = ZENQAR_CORPUS_DIR;

Manifest CommittedManifest() { return LoadManifest(kCorpusDir + "/manifest.tsv"); }

// The other file types are samples for the Windows library's image loading.
std::vector<CorpusImage> PngImages() {
  std::vector<CorpusImage> images = CommittedManifest().images;
  std::erase_if(images, [](const CorpusImage& i) { return !i.file.ends_with(".png"); });
  return images;
}

TEST(CorpusManifest, LoadsWithImagesOfEveryKind) {
  Manifest manifest = CommittedManifest();
  ASSERT_EQ(manifest.error, "");
  EXPECT_GT(PngImages().size(), 200u);
}

}  // namespace

// Test names say which image; the parameter itself prints as its file name.
void PrintTo(const CorpusImage& image, std::ostream* out) { *out << image.file; }

namespace {

class CorpusImageTest : public testing::TestWithParam<CorpusImage> {};

TEST_P(CorpusImageTest, ReadsWhatTheEncoderWrote) {
  const CorpusImage& image = GetParam();
  PngLoad load = LoadGreyPng(kCorpusDir + "/" + image.file);
  ASSERT_EQ(load.error, "");
  ASSERT_EQ(load.picture.width, image.width);
  ASSERT_EQ(load.picture.height, image.height);

  Verdict verdict = Judge(image, qr::ReadSymbols(load.picture.View()));
  for (const std::string& fault : verdict.faults) ADD_FAILURE() << fault;
  if (verdict.AllRead()) return;

  // ZXing's reads mark the symbols we must read even in the hard images.
  std::vector<bool> zxing_reads(image.symbols.size(), false);
  for (const OracleSymbol& theirs : RunZxing(load.picture.View()).symbols) {
    int index = NearestSymbol(image, theirs.corners);
    if (index >= 0) zxing_reads[index] = true;
  }
  for (size_t i = 0; i < image.symbols.size(); ++i) {
    if (!verdict.read[i] && (image.must_read || zxing_reads[i]))
      ADD_FAILURE() << "symbol " << i << " \"" << Printable(image.symbols[i].content.utf8) << "\" not read"
                    << (zxing_reads[i] ? "; ZXing reads it" : "");
  }
}

std::string TestName(const testing::TestParamInfo<CorpusImage>& info) {
  std::string name = info.param.file.substr(0, info.param.file.rfind('.'));
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Committed, CorpusImageTest, testing::ValuesIn(PngImages()), TestName);

}  // namespace
}  // namespace corpus
