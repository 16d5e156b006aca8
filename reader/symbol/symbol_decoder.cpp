#include "reader/symbol_decoder.h"

#include <array>
#include <span>

#include "reader/symbol/format_version.h"
#include "reader/symbol/reed_solomon.h"
#include "reader/symbol/segment_decoder.h"
#include "reader/symbol/symbol_layout.h"

namespace qr {
namespace {

// The formats worth trying: the best reading of each copy, the nearer first.
struct FormatCandidates {
  std::array<FormatInfo, 2> formats;
  int count = 0;
};

FormatCandidates ReadFormat(const ModuleGrid& grid) {
  const auto first = DecodeFormatBits(ReadFormatBitsNearTopLeft(grid));
  const auto second = DecodeFormatBits(ReadFormatBitsSplit(grid));
  FormatCandidates candidates;
  const auto add = [&](const std::optional<FormatInfo>& format) {
    if (!format) return;
    if (candidates.count == 1) {
      const FormatInfo& known = candidates.formats[0];
      if (known.level == format->level && known.mask == format->mask) return;
      if (format->distance < known.distance) {
        candidates.formats[1] = known;
        candidates.formats[0] = *format;
        candidates.count = 2;
        return;
      }
    }
    candidates.formats[candidates.count++] = *format;
  };
  add(first);
  add(second);
  return candidates;
}

// Checks the version information against the size. Both copies naming one
// other version mean the grid was sampled at the wrong size; anything else
// (a copy agreeing, or damage beyond correction) leaves the decision to the
// error correction.
std::optional<int> VersionContradictingSize(const ModuleGrid& grid, int size_version) {
  if (size_version < 7) return std::nullopt;
  const auto top_right = DecodeVersionBits(ReadVersionBitsTopRight(grid));
  const auto bottom_left = DecodeVersionBits(ReadVersionBitsBottomLeft(grid));
  const bool agrees = (top_right && top_right->version == size_version) ||
                      (bottom_left && bottom_left->version == size_version);
  if (!agrees && top_right && bottom_left && top_right->version == bottom_left->version) return top_right->version;
  return std::nullopt;
}

// Splits the interleaved codewords into blocks, corrects each, and gathers
// the data codewords. Returns their count, or 0 when a block is beyond
// correction.
int CorrectAndGatherData(std::span<const uint8_t> interleaved, const BlockStructure& blocks,
                         std::span<uint8_t> data) {
  const int short_count = blocks.short_block_count();
  const int short_length = blocks.short_block_length();
  const int ec = blocks.ec_codewords_per_block;
  const auto block_start = [&](int b) { return b * short_length + (b > short_count ? b - short_count : 0); };
  const auto data_length = [&](int b) { return short_length - ec + (b >= short_count ? 1 : 0); };

  std::array<uint8_t, kMaxTotalCodewords> by_block;
  int next = 0;
  for (int i = 0; i < short_length - ec + 1; ++i)
    for (int b = 0; b < blocks.block_count; ++b)
      if (i < data_length(b)) by_block[block_start(b) + i] = interleaved[next++];
  for (int i = 0; i < ec; ++i)
    for (int b = 0; b < blocks.block_count; ++b) by_block[block_start(b) + data_length(b) + i] = interleaved[next++];

  int data_count = 0;
  for (int b = 0; b < blocks.block_count; ++b) {
    const std::span<uint8_t> block(by_block.data() + block_start(b), data_length(b) + ec);
    if (!CorrectBlock(block, ec)) return 0;
    for (int i = 0; i < data_length(b); ++i) data[data_count++] = block[i];
  }
  return data_count;
}

DecodeOutcome DecodeWithFormat(const ModuleGrid& grid, int version, const FormatInfo& format) {
  const BlockStructure blocks = BlocksOf(version, format.level);
  std::array<uint8_t, kMaxTotalCodewords> codewords;
  const std::span<uint8_t> interleaved(codewords.data(), blocks.total_codewords);
  ReadCodewords(grid, version, format.mask, interleaved);

  std::array<uint8_t, kMaxDataCodewords> data;
  const int data_count = CorrectAndGatherData(interleaved, blocks, data);
  DecodeOutcome outcome;
  if (data_count == 0) {
    outcome.status = DecodeStatus::kTooManyErrors;
    return outcome;
  }
  auto segments = DecodeSegments(std::span<const uint8_t>(data.data(), data_count), version);
  if (!segments) {
    outcome.status = DecodeStatus::kBadData;
    return outcome;
  }
  outcome.status = DecodeStatus::kOk;
  outcome.content.version = version;
  outcome.content.level = format.level;
  outcome.content.append_position = segments->append_position;
  outcome.content.append_total = segments->append_total;
  outcome.content.append_parity = segments->append_parity;
  outcome.content.utf8 = std::move(segments->utf8);
  return outcome;
}

}  // namespace

DecodeOutcome DecodeGrid(const ModuleGrid& grid) {
  DecodeOutcome outcome;
  const int version = VersionOfSize(grid.size());
  if (version == 0) {
    outcome.status = DecodeStatus::kBadSize;
    return outcome;
  }
  if (const auto named = VersionContradictingSize(grid, version)) {
    outcome.status = DecodeStatus::kVersionUnreadable;
    outcome.content.version = *named;
    return outcome;
  }
  const FormatCandidates candidates = ReadFormat(grid);
  outcome.status = DecodeStatus::kFormatUnreadable;
  for (int i = 0; i < candidates.count; ++i) {
    outcome = DecodeWithFormat(grid, version, candidates.formats[i]);
    if (outcome.status == DecodeStatus::kOk) break;
  }
  return outcome;
}

}  // namespace qr
