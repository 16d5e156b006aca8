#include "reader/corpus/zxing_oracle.h"

#include <sys/wait.h>
#include <unistd.h>

#include <ZXing/ReadBarcode.h>

#include <chrono>
#include <cstdint>
#include <cstring>

namespace corpus {
namespace {

// --- a plain byte encoding of the child's answer -------------------------------

class Writer {
 public:
  void Int(int64_t v) { Raw(&v, sizeof v); }
  void Double(double v) { Raw(&v, sizeof v); }
  void Text(const std::string& s) {
    Int(static_cast<int64_t>(s.size()));
    bytes_ += s;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  void Raw(const void* p, size_t n) { bytes_.append(static_cast<const char*>(p), n); }
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  int64_t Int() {
    int64_t v = 0;
    Raw(&v, sizeof v);
    return v;
  }
  double Double() {
    double v = 0;
    Raw(&v, sizeof v);
    return v;
  }
  std::string Text() {
    int64_t n = Int();
    if (!ok_ || n < 0 || static_cast<size_t>(n) > bytes_.size() - pos_) return Fail(), std::string();
    std::string s = bytes_.substr(pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return s;
  }

 private:
  void Fail() { ok_ = false; }
  void Raw(void* p, size_t n) {
    if (!ok_ || n > bytes_.size() - pos_) return Fail();
    std::memcpy(p, bytes_.data() + pos_, n);
    pos_ += n;
  }
  const std::string& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

void WriteRun(Writer& w, const OracleRun& run) {
  w.Int(static_cast<int64_t>(run.seconds.size()));
  for (double s : run.seconds) w.Double(s);
  w.Int(static_cast<int64_t>(run.symbols.size()));
  for (const OracleSymbol& s : run.symbols) {
    w.Text(s.text);
    w.Text(s.level);
    w.Int(s.sequence_index);
    w.Int(s.sequence_size);
    w.Text(s.sequence_id);
    w.Int(s.mirrored);
    for (const qr::Point& p : s.corners) {
      w.Double(p.x);
      w.Double(p.y);
    }
  }
}

bool ReadRun(Reader& r, OracleRun& run) {
  int64_t repeats = r.Int();
  for (int64_t i = 0; r.ok() && i < repeats; ++i) run.seconds.push_back(r.Double());
  int64_t count = r.Int();
  for (int64_t i = 0; r.ok() && i < count; ++i) {
    OracleSymbol s;
    s.text = r.Text();
    s.level = r.Text();
    s.sequence_index = static_cast<int>(r.Int());
    s.sequence_size = static_cast<int>(r.Int());
    s.sequence_id = r.Text();
    s.mirrored = r.Int() != 0;
    for (qr::Point& p : s.corners) {
      p.x = r.Double();
      p.y = r.Double();
    }
    run.symbols.push_back(std::move(s));
  }
  return r.ok();
}

// --- ZXing itself, in the child ---------------------------------------------------

OracleRun ReadInProcess(const qr::GreyImage& image, int repeats) {
  ZXing::ImageView view(image.pixels, image.width, image.height, ZXing::ImageFormat::Lum, image.stride);
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode).setTryHarder(true).setTryRotate(true);
  OracleRun run;
  ZXing::Results results;
  for (int i = 0; i < repeats; ++i) {
    auto start = std::chrono::steady_clock::now();
    results = ZXing::ReadBarcodes(view, hints);
    run.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  for (const ZXing::Result& result : results) {
    if (!result.isValid()) continue;
    OracleSymbol s;
    s.text = result.text();
    s.level = result.ecLevel();
    s.sequence_index = result.sequenceIndex();
    s.sequence_size = result.sequenceSize();
    s.sequence_id = result.sequenceId();
    s.mirrored = result.isMirrored();
    for (int i = 0; i < 4; ++i) s.corners[i] = {double(result.position()[i].x), double(result.position()[i].y)};
    run.symbols.push_back(std::move(s));
  }
  run.completed = true;
  return run;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  return bytes;
}

}  // namespace

OracleRun RunZxing(const qr::GreyImage& image, int repeats) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return {};
  }
  if (child == 0) {
    close(fds[0]);
    Writer w;
    WriteRun(w, ReadInProcess(image, repeats));
    _exit(WriteAll(fds[1], w.bytes()) ? 0 : 1);
  }
  close(fds[1]);
  std::string bytes = ReadAll(fds[0]);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  OracleRun run;
  Reader r(bytes);
  run.completed = WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadRun(r, run);
  if (!run.completed) run.symbols.clear();
  return run;
}

}  // namespace corpus
