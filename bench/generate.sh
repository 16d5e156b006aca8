#!/usr/bin/env bash
# Click-to-picture time of the text page's 生成 in Zenqar.exe under Wine, with
# a 100-character text and the local QR image service answering PNG (two
# requests and a conversion to GIF) and GIF (one request). The peer, in the
# same run: curl asking the service for the same URL. Writes the figures and
# the commands to bench/results/generate.md.
#   ./zenqar bench generate     (builds the release preset; this builds win64)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD="${ZENQAR_BUILD_DIR:-$ROOT/build}"
SERVICE="$BUILD/release/service/zenqar-service"
CLICKS=${CLICKS:-40}
LENGTH=100
RESULTS=bench/results/generate.md

[ -x "$SERVICE" ] || { echo "generate.sh: $SERVICE is missing: build the release preset" >&2; exit 1; }
cmake --preset win64 -B "$BUILD/win64" >/dev/null
cmake --build "$BUILD/win64" -j 2 --target Zenqar generate_driver >/dev/null
DRIVER="$BUILD/win64/bin/generate_driver.exe"
HOST=$(sed -n 's/^ZENQAR_QR_SERVICE_HOST:STRING=//p' "$BUILD/win64/CMakeCache.txt")
PORT=${HOST##*:}

export WINEDEBUG=-all WINEPREFIX="$BUILD/win64/wineprefix"
LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
WORK=$(mktemp -d)
SERVICE_PID="" XVFB_PID=""
cleanup() {
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
wineserver -p >/dev/null 2>&1 || true  # already running is fine; its services must not hold our output

# What the text page sends for the driver's text (a to z, repeated).
TEXT=$(printf 'abcdefghijklmnopqrstuvwxyz%.0s' 1 2 3 4 | cut -c1-$LENGTH)
URL="http://$HOST/api.php?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=$TEXT"

# n, median, p90, mean, min, max of the numbers in a file (milliseconds).
stats() {
  sort -n "$1" | awk '{ v[NR] = $1; s += $1 } END {
    printf "%d | %.1f | %.1f | %.1f | %.1f | %.1f", NR, v[int((NR + 1) / 2)], v[int(NR * 0.9 + 0.5)], s / NR, v[1], v[NR] }'
}

ROWS=""
for format in png gif; do
  "$SERVICE" --listen "${HOST%:*}" --port "$PORT" --format "$format" 2>/dev/null &
  SERVICE_PID=$!
  for _ in $(seq 100); do (exec 3<>"/dev/tcp/${HOST%:*}/$PORT") 2>/dev/null && break; sleep 0.05; done
  if ! wine "$DRIVER" --bench "$CLICKS" "$LENGTH" >"$WORK/$format.all" 2>"$WORK/driver.err" </dev/null ||
     [ "$(wc -l <"$WORK/$format.all")" -ne "$CLICKS" ]; then
    echo "generate.sh: the driver failed" >&2; cat "$WORK/driver.err" >&2; exit 1
  fi
  first=$(head -1 "$WORK/$format.all")
  tail -n +2 "$WORK/$format.all" >"$WORK/$format.warm"
  for _ in $(seq "$CLICKS"); do curl -s -o /dev/null -w '%{time_total}\n' "$URL"; done |
    awk '{ printf "%.3f\n", $1 * 1000 }' >"$WORK/$format.curl"
  kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true; SERVICE_PID=""
  ROWS+="| Zenqar, $format answer, clicks after the first | $(stats "$WORK/$format.warm") |"$'\n'
  ROWS+="| Zenqar, $format answer, first click | 1 | $first | | | | |"$'\n'
  ROWS+="| peer: curl, one $format request for the same URL | $(stats "$WORK/$format.curl") |"$'\n'
done

{
  echo "# Generate: click to picture"
  echo
  echo "Time from the click on 生成 (text page, $LENGTH characters) until the command has shown the picture and"
  echo "the picture box has painted it, in Zenqar.exe (win64 build) under Wine, with the local QR image service"
  echo "(release build) on $HOST. A PNG answer costs two requests and a conversion to GIF; a GIF answer one"
  echo "request. The peer is curl asking the service for the same URL once, in the same run."
  echo
  echo "| What | n | median ms | p90 ms | mean ms | min ms | max ms |"
  echo "|---|---|---|---|---|---|---|"
  printf '%s' "$ROWS"
  echo
  echo "Target: under 50 ms. Machine: $(nproc) cores shared with other work, load average before the run"
  echo "$LOAD_BEFORE; $(wine --version)."
  echo
  echo "Command: \`./zenqar bench generate\` (bench/generate.sh, CLICKS=$CLICKS), $(date -u +%Y-%m-%d)."
} >"$RESULTS"
cat "$RESULTS"
