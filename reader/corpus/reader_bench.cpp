// Our reader against ZXing-C++ on a generated corpus: the same grey images,
// loaded once, read by both. Prints a Markdown table per category: how many
// images each reads completely and correctly, how many symbols each gets
// wrong, and the median time per image.
//
//   reader_bench CORPUS_DIR [--repeats N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "reader/corpus/corpus_judge.h"
#include "reader/corpus/corpus_manifest.h"
#include "reader/corpus/grey_png.h"
#include "reader/corpus/zxing_oracle.h"
#include "reader/qr_reader.h"

namespace corpus {
namespace {

struct Tally {
  int images = 0;
  int ours_read = 0;  // images whose symbols we all read correctly
  int theirs_read = 0;
  int only_theirs = 0;  // images ZXing reads completely and we do not
  int only_ours = 0;
  int ours_wrong = 0;  // symbols reported with wrong content or at no symbol
  int theirs_wrong = 0;
  int theirs_aborted = 0;
  std::vector<double> ours_ms;
  std::vector<double> theirs_ms;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct OurRun {
  Verdict verdict;
  double ms = 0;
};

OurRun RunOurs(const CorpusImage& image, const qr::GreyImage& view, int repeats) {
  std::vector<double> ms;
  std::vector<qr::FoundSymbol> found;
  for (int i = 0; i < repeats; ++i) {
    auto start = std::chrono::steady_clock::now();
    found = qr::ReadSymbols(view);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return {Judge(image, found), Median(ms)};
}

// ZXing reports no version, so its reads are judged by text and place alone.
struct TheirVerdict {
  bool all_read = false;
  int wrong = 0;
};

TheirVerdict JudgeTheirs(const CorpusImage& image, const OracleRun& run) {
  std::vector<bool> read(image.symbols.size(), false);
  int wrong = 0;
  for (const OracleSymbol& s : run.symbols) {
    int index = NearestSymbol(image, s.corners);
    if (index >= 0 && s.text == image.symbols[index].content.utf8) {
      read[index] = true;
    } else {
      ++wrong;
    }
  }
  return {std::all_of(read.begin(), read.end(), [](bool r) { return r; }), wrong};
}

void PrintRow(const std::string& name, const Tally& t) {
  auto percent = [&t](int n) { return t.images ? 100.0 * n / t.images : 0.0; };
  std::printf("| %s | %d | %d (%.0f%%) | %d (%.0f%%) | %d | %d | %d | %d | %.2f | %.2f |\n", name.c_str(), t.images,
              t.ours_read, percent(t.ours_read), t.theirs_read, percent(t.theirs_read), t.only_theirs, t.only_ours,
              t.ours_wrong, t.theirs_wrong, Median(t.ours_ms), Median(t.theirs_ms));
}

int Run(const std::string& dir, int repeats) {
  Manifest manifest = LoadManifest(dir + "/manifest.tsv");
  if (!manifest.error.empty()) {
    std::fprintf(stderr, "reader_bench: %s\n", manifest.error.c_str());
    return 1;
  }
  std::vector<CorpusImage> images;
  std::vector<GreyPicture> pictures;
  for (const CorpusImage& image : manifest.images) {
    if (!image.file.ends_with(".png")) continue;
    PngLoad load = LoadGreyPng(dir + "/" + image.file);
    if (!load.error.empty()) {
      std::fprintf(stderr, "reader_bench: %s\n", load.error.c_str());
      return 1;
    }
    images.push_back(image);
    pictures.push_back(std::move(load.picture));
  }

  std::map<std::string, Tally> by_category;
  Tally total;
  std::vector<std::string> missed;
  for (size_t i = 0; i < images.size(); ++i) {
    const CorpusImage& image = images[i];
    qr::GreyImage view = pictures[i].View();
    OurRun ours = RunOurs(image, view, repeats);
    OracleRun oracle = RunZxing(view, repeats);
    TheirVerdict theirs = JudgeTheirs(image, oracle);
    bool ours_ok = ours.verdict.AllRead() && ours.verdict.faults.empty();
    bool theirs_ok = oracle.completed && theirs.all_read && theirs.wrong == 0;
    if (theirs_ok && !ours_ok) missed.push_back(image.file);
    for (Tally* t : {&by_category[image.category], &total}) {
      ++t->images;
      t->ours_read += ours_ok;
      t->theirs_read += theirs_ok;
      t->only_theirs += theirs_ok && !ours_ok;
      t->only_ours += ours_ok && !theirs_ok;
      t->ours_wrong += static_cast<int>(ours.verdict.faults.size());
      t->theirs_wrong += theirs.wrong;
      t->theirs_aborted += !oracle.completed;
      t->ours_ms.push_back(ours.ms);
      if (oracle.completed) {
        std::vector<double> ms;
        for (double s : oracle.seconds) ms.push_back(s * 1000);
        t->theirs_ms.push_back(Median(ms));
      }
    }
  }

  std::printf("| category | images | ours read | ZXing read | ZXing only | ours only | ours wrong | ZXing wrong "
              "| ours median ms | ZXing median ms |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const auto& [name, tally] : by_category) PrintRow(name, tally);
  PrintRow("**all**", total);
  std::printf("\nImages: %zu; each read %d times by each reader, the median taken per image. ZXing aborted on %d.\n",
              images.size(), repeats, total.theirs_aborted);
  if (!missed.empty()) {
    std::printf("\nRead completely by ZXing and not by us (%zu):\n\n", missed.size());
    const size_t kListed = 40;
    for (size_t i = 0; i < missed.size() && i < kListed; ++i) std::printf("- %s\n", missed[i].c_str());
    if (missed.size() > kListed) std::printf("- and %zu more\n", missed.size() - kListed);
  }
  return 0;
}

}  // namespace
}  // namespace corpus

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: reader_bench CORPUS_DIR [--repeats N]\n");
    return 2;
  }
  int repeats = 3;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--repeats") repeats = std::max(1, std::atoi(argv[i + 1]));
  return corpus::Run(argv[1], repeats);
}
