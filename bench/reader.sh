#!/usr/bin/env bash
# Our QR reader against ZXing-C++ on the generated benchmark corpus (fixed
# seed, written into the build directory), in the release build. Writes the
# figures and the command that produced them to bench/results/reader.md.
#   ./zenqar bench reader       (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
RELEASE="${ZENQAR_BUILD_DIR:-$PWD/build}/release"
BENCH="$RELEASE/reader/corpus/reader_bench"
CORPUS="$RELEASE/reader/corpus/bench-images"
SEED=5
REPEATS=${REPEATS:-3}
GENERATOR=reader/corpus/generate_corpus.py

[ -x "$BENCH" ] || { echo "reader.sh: $BENCH is missing: build the release preset" >&2; exit 1; }

# The corpus is written again whenever the generator changes.
STAMP="$(sha256sum "$GENERATOR" | cut -c1-16) seed $SEED"
if [ "$(cat "$CORPUS/.stamp" 2>/dev/null)" != "$STAMP" ]; then
  echo "reader.sh: generating the benchmark corpus into $CORPUS" >&2
  rm -rf "$CORPUS"
  /usr/bin/python3 "$GENERATOR" --profile bench --seed "$SEED" --out "$CORPUS"
  echo "$STAMP" > "$CORPUS/.stamp"
fi

COMMAND="$BENCH $CORPUS --repeats $REPEATS"
echo "reader.sh: $COMMAND" >&2
TABLE=$($COMMAND)

OUT=bench/results/reader.md
mkdir -p "$(dirname "$OUT")"
{
  echo "# QR reader: ours against ZXing-C++"
  echo
  echo "Run by \`./zenqar bench reader\` (bench/reader.sh) on $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)."
  echo
  echo "- Corpus: \`/usr/bin/python3 $GENERATOR --profile bench --seed $SEED --out $CORPUS\`"
  echo "- Command: \`$COMMAND\` (release preset: g++ -O2, no sanitizers)"
  echo "- Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); ZXing-C++ $(dpkg-query -W -f='${Version}' libzxing-dev 2>/dev/null) (try harder, try rotate, QR only)"
  echo "- Both readers get the same grey images, loaded once. An image counts as read when every symbol it holds is reported with the encoder's text (ours: also version, level, structured-append fields and corners) and nothing else is reported. \"wrong\" counts reported symbols with another content or where the image holds none (for ZXing this includes GBK data it takes for another character set). Times are the median over images of each image's median of $REPEATS runs; ZXing runs in a child process, timed there."
  echo
  echo "$TABLE"
} > "$OUT"
echo "reader.sh: wrote $OUT" >&2
