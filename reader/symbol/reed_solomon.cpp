#include "reader/symbol/reed_solomon.h"

#include <array>

namespace qr {
namespace {

struct GaloisField {
  std::array<uint8_t, 512> exp{};  // doubled, so that exp[log a + log b] needs no reduction
  std::array<uint8_t, 256> log{};
};

constexpr GaloisField MakeField() {
  GaloisField field;
  unsigned value = 1;
  for (int i = 0; i < 255; ++i) {
    field.exp[i] = static_cast<uint8_t>(value);
    field.log[value] = static_cast<uint8_t>(i);
    value <<= 1;
    if (value & 0x100) value ^= 0x11D;
  }
  for (int i = 255; i < 512; ++i) field.exp[i] = field.exp[i - 255];
  return field;
}

constexpr GaloisField kField = MakeField();

// Products with each generator root a^i, so that the syndromes' inner loop is
// one table lookup.
using RootProducts = std::array<std::array<uint8_t, 256>, kMaxEcCodewords>;

constexpr RootProducts MakeRootProducts() {
  RootProducts products{};
  for (int i = 0; i < kMaxEcCodewords; ++i)
    for (int v = 1; v < 256; ++v) products[i][v] = kField.exp[(kField.log[v] + i) % 255];
  return products;
}

constexpr RootProducts kRootProducts = MakeRootProducts();

uint8_t Multiply(uint8_t a, uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return kField.exp[kField.log[a] + kField.log[b]];
}

uint8_t Divide(uint8_t a, uint8_t b) {  // b != 0
  if (a == 0) return 0;
  return kField.exp[kField.log[a] + 255 - kField.log[b]];
}

uint8_t Power(int exponent) { return kField.exp[exponent % 255]; }

// A polynomial over GF(256), coefficient i of x^i.
using Poly = std::array<uint8_t, kMaxEcCodewords + 2>;

uint8_t Evaluate(const Poly& poly, int degree, uint8_t x) {
  uint8_t result = 0;
  for (int i = degree; i >= 0; --i) result = Multiply(result, x) ^ poly[i];
  return result;
}

// S_i = R(a^i), with block[0] the coefficient of the highest power: Horner's
// rule for all the syndromes at once.
bool ComputeSyndromes(std::span<const uint8_t> block, int ec_count, Poly& syndromes) {
  std::array<uint8_t, kMaxEcCodewords> values{};
  for (uint8_t codeword : block)
    for (int i = 0; i < ec_count; ++i) values[i] = kRootProducts[i][values[i]] ^ codeword;
  bool all_zero = true;
  for (int i = 0; i < ec_count; ++i) {
    syndromes[i] = values[i];
    all_zero = all_zero && values[i] == 0;
  }
  return all_zero;
}

// Berlekamp-Massey: the shortest error locator Lambda(x) that generates the
// syndromes. Returns its degree.
int FindErrorLocator(const Poly& syndromes, int ec_count, Poly& locator) {
  Poly previous{};
  locator = Poly{};
  locator[0] = previous[0] = 1;
  int degree = 0;
  int shift = 1;
  uint8_t previous_discrepancy = 1;
  for (int n = 0; n < ec_count; ++n) {
    uint8_t discrepancy = syndromes[n];
    for (int i = 1; i <= degree; ++i) discrepancy ^= Multiply(locator[i], syndromes[n - i]);
    if (discrepancy == 0) {
      ++shift;
      continue;
    }
    const uint8_t factor = Divide(discrepancy, previous_discrepancy);
    const Poly before = locator;
    for (int i = 0; i + shift < static_cast<int>(locator.size()); ++i) locator[i + shift] ^= Multiply(factor, previous[i]);
    if (2 * degree <= n) {
      degree = n + 1 - degree;
      previous = before;
      previous_discrepancy = discrepancy;
      shift = 1;
    } else {
      ++shift;
    }
  }
  return degree;
}

}  // namespace

bool CorrectBlock(std::span<uint8_t> block, int ec_count) {
  const int length = static_cast<int>(block.size());
  if (ec_count <= 0 || ec_count > kMaxEcCodewords || length > 255 || length <= ec_count) return false;

  Poly syndromes{};
  if (ComputeSyndromes(block, ec_count, syndromes)) return true;

  Poly locator;
  const int error_count = FindErrorLocator(syndromes, ec_count, locator);
  if (error_count > ec_count / 2) return false;

  // Omega(x) = S(x) Lambda(x) mod x^ec_count, the error evaluator.
  Poly evaluator{};
  for (int i = 0; i < ec_count; ++i)
    for (int j = 0; j <= i && j <= error_count; ++j) evaluator[i] ^= Multiply(syndromes[i - j], locator[j]);

  // Chien search over the block's positions: the codeword at index k carries
  // x^p with p = length - 1 - k, and is wrong when Lambda(a^-p) = 0. Forney
  // gives its error value, X Omega(X^-1) / Lambda'(X^-1) with X = a^p, since
  // the generator's roots start at a^0.
  int found = 0;
  for (int p = 0; p < length; ++p) {
    const uint8_t x_inverse = Power(255 - p);
    if (Evaluate(locator, error_count, x_inverse) != 0) continue;
    uint8_t derivative = 0;  // odd terms only: the field has characteristic 2
    for (int i = 1; i <= error_count; i += 2) derivative ^= Multiply(locator[i], Power((255 - p) * (i - 1)));
    if (derivative == 0) return false;
    const uint8_t magnitude =
        Multiply(Power(p), Divide(Evaluate(evaluator, ec_count - 1, x_inverse), derivative));
    block[length - 1 - p] ^= magnitude;
    ++found;
  }
  if (found != error_count) return false;
  return ComputeSyndromes(block, ec_count, syndromes);
}

}  // namespace qr
