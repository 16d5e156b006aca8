#!/usr/bin/env bash
# Decoding one sampled module grid (reader/symbol) against ZXing-C++ reading
# the same symbol as a pure image, in the release build. Writes the figures
# and the command that produced them to bench/results/symbol_decode.md.
#   ./zenqar bench symbol_decode       (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
BENCH="${ZENQAR_BUILD_DIR:-$PWD/build}/release/reader/symbol/symbol_decode_bench"
[ -x "$BENCH" ] || { echo "symbol_decode.sh: $BENCH is missing: build the release preset" >&2; exit 1; }

TABLE=$("$BENCH")
OUT=bench/results/symbol_decode.md
mkdir -p "$(dirname "$OUT")"
{
  echo "# Symbol decoding: DecodeGrid against ZXing-C++"
  echo
  echo "Run by \`./zenqar bench symbol_decode\` (bench/symbol_decode.sh) on $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD)."
  echo
  echo "- Command: \`$BENCH\` (release preset: g++ -O2, no sanitizers)"
  echo "- Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); ZXing-C++ $(dpkg-query -W -f='${Version}' libzxing-dev 2>/dev/null)"
  echo "- Symbols: libqrencode, byte mode, nearly full. DecodeGrid gets the module grid (format and version information, unmasking, Reed-Solomon, segments, text); ZXing-C++ gets the symbol drawn 4 pixels a module with a 4-module quiet zone, with the pure-symbol hint (its cheapest path, which still includes locating the symbol). Median of 51 samples of the time per call."
  echo
  echo "$TABLE"
} > "$OUT"
echo "symbol_decode.sh: wrote $OUT" >&2
