#!/usr/bin/env bash
# The QR image service under load from wrk on loopback, against running the
# qrencode command once per image, in the same run. Writes the figures and
# the commands that produced them to bench/results/service.md.
#   ./zenqar bench service      (builds the release preset first)
set -euo pipefail
# The 2 cores are shared with other work (builds); a raised priority for the
# service, wrk and the peer alike keeps that work from standing in as load.
NICE=${NICE:--10}
if [ -z "${SERVICE_BENCH_NICE:-}" ]; then
  SERVICE_BENCH_NICE=$NICE exec nice -n "$NICE" bash "$0" "$@"
fi
cd "$(dirname "$0")/.."
SERVICE="${ZENQAR_BUILD_DIR:-$PWD/build}/release/service/zenqar-service"
CONNECTIONS=${CONNECTIONS:-32}
DURATION=${DURATION:-10s}
ROUNDS=${ROUNDS:-3}
PEER_IMAGES=${PEER_IMAGES:-1000}

[ -x "$SERVICE" ] || { echo "service.sh: $SERVICE is missing: build the release preset" >&2; exit 1; }

# 100 bytes of text, as Zenqar percent-encodes it (blanks become %20).
TEXT="Zenqar benchmark: one hundred bytes of plain text for the QR image service, at the default size. OK!"
[ ${#TEXT} -eq 100 ] || { echo "service.sh: the text is ${#TEXT} bytes, not 100" >&2; exit 1; }
ENCODED=${TEXT// /%20}
ENCODED=${ENCODED//:/%3A}
ENCODED=${ENCODED//,/%2C}

LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)
WORK=$(mktemp -d)
SERVICE_PID=""
cleanup() {
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# Any free loopback port; the service says which.
"$SERVICE" --listen 127.0.0.1 --port 0 2>"$WORK/access.log" &
SERVICE_PID=$!
PORT=""
for _ in $(seq 100); do
  PORT=$(sed -n 's|.*listening on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$WORK/access.log")
  [ -n "$PORT" ] && break
  sleep 0.05
done
[ -n "$PORT" ] || { echo "service.sh: the service did not start" >&2; cat "$WORK/access.log" >&2; exit 1; }
BASE="http://127.0.0.1:$PORT/api.php"

PLAIN="$BASE?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=$ENCODED"
COLOURED="$BASE?fg=c00000&gc=0000c0&pt=006400&inpt=ff8800&bg=fffff0&el=L&text=$ENCODED"

check() {
  local answer
  answer=$(curl -s -o "$WORK/check.png" -w '%{http_code} %{content_type}' "$1")
  [ "$answer" = "200 image/png" ] || { echo "service.sh: $1 answered $answer" >&2; exit 1; }
}
check "$COLOURED"
check "$PLAIN"
IMAGE_INFO=$(file -b "$WORK/check.png")

# Images/s, p50 and p99 from wrk --latency; non-2xx answers are counted.
# The service's own CPU time per image comes from /proc, which other work
# on the machine does not inflate.
TICKS_PER_SECOND=$(getconf CLK_TCK)
service_cpu_ticks() { awk '{print $14 + $15}' "/proc/$SERVICE_PID/stat"; }
run_wrk() {
  local url=$1 out=$2 before after
  before=$(service_cpu_ticks)
  wrk -t2 -c"$CONNECTIONS" -d"$DURATION" --latency "$url" > "$out"
  after=$(service_cpu_ticks)
  local rps p50 p99 bad requests cpu
  rps=$(awk '/^Requests\/sec:/ {printf "%.0f", $2}' "$out")
  p50=$(awk '$1 == "50%" {print $2}' "$out")
  p99=$(awk '$1 == "99%" {print $2}' "$out")
  bad=$(awk '/Non-2xx or 3xx responses:/ {print $NF}' "$out")
  requests=$(awk '/requests in/ {print $1}' "$out")
  cpu=$(awk -v t=$((after - before)) -v hz="$TICKS_PER_SECOND" -v n="$requests" 'BEGIN {printf "%.0f", t / hz * 1e6 / n}')
  echo "$rps|$p50|$p99|${bad:-0}|$cpu"
}
WRK_COMMAND="wrk -t2 -c$CONNECTIONS -d$DURATION --latency URL"
echo "service.sh: $WRK_COMMAND ($ROUNDS rounds plain, then coloured)" >&2
# The machine is shared: several rounds, and the median round is the figure.
ROWS=""
for round in $(seq "$ROUNDS"); do
  IFS='|' read -r rps p50 p99 bad cpu <<<"$(run_wrk "$PLAIN" "$WORK/plain-$round.txt")"
  ROWS+="$rps|$p50|$p99|$bad|$cpu|$round"$'\n'
done
MEDIAN_ROW=$(printf '%s' "$ROWS" | sort -t'|' -k1,1n | sed -n "$(( (ROUNDS + 1) / 2 ))p")
IFS='|' read -r PLAIN_RPS PLAIN_P50 PLAIN_P99 PLAIN_BAD PLAIN_CPU MEDIAN_ROUND <<<"$MEDIAN_ROW"
IFS='|' read -r COLOURED_RPS COLOURED_P50 COLOURED_P99 COLOURED_BAD COLOURED_CPU <<<"$(run_wrk "$COLOURED" "$WORK/coloured.txt")"

# The peer: one qrencode process per image, two at a time (one per core),
# the same text, level and about the same size (45 modules of 6 px).
PEER_COMMAND="seq $PEER_IMAGES | xargs -P 2 -I{} qrencode -l L -s 6 -m 4 -o /dev/null \"\$TEXT\""
echo "service.sh: $PEER_COMMAND" >&2
start=$(date +%s.%N)
seq "$PEER_IMAGES" | xargs -P 2 -I{} qrencode -l L -s 6 -m 4 -o /dev/null "$TEXT"
end=$(date +%s.%N)
PEER_RPS=$(awk -v n="$PEER_IMAGES" -v s="$start" -v e="$end" 'BEGIN {printf "%.0f", n / (e - s)}')
# wrk writes latencies with a unit: us, ms or s.
to_ms() { awk -v t="$1" 'BEGIN { v = t + 0; if (t ~ /us$/) v /= 1000; else if (t !~ /ms$/) v *= 1000; print v }'; }
if [ "$PLAIN_RPS" -ge 3000 ] && awk -v p="$(to_ms "$PLAIN_P99")" 'BEGIN { exit !(p < 10) }'; then
  VERDICT="met"
else
  VERDICT="not met in this run"
fi
RATIO=$(awk -v a="$PLAIN_RPS" -v b="$PEER_RPS" 'BEGIN {printf "%.1f", a / b}')

LOGGED=$(grep -c '"GET /api.php' "$WORK/access.log" || true)

OUT=bench/results/service.md
mkdir -p "$(dirname "$OUT")"
{
  echo "# QR image service: images per second and latency"
  echo
  echo "Run by \`./zenqar bench service\` (bench/service.sh) on $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD)."
  echo
  echo "- Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), shared with other work; load average before the run: $LOAD_BEFORE. The service, wrk and the peer all ran at niceness $(nice) (NICE=$SERVICE_BENCH_NICE), so that other work on the machine yields to them."
  echo "- Service: \`$SERVICE --listen 127.0.0.1 --port 0 2>access.log\` (release preset: g++ -O2; default 64 workers; access log written to a file, one line per request: $LOGGED lines)."
  echo "- Load: \`$WRK_COMMAND\` over keep-alive connections on loopback; wrk runs on the same 2 cores."
  echo "- Request: the URL Zenqar sends for a 100-byte text at the default size (w 300 px, quiet zone 4 modules, level L):"
  echo "  \`/api.php?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=$ENCODED\`"
  echo "  Text (100 bytes): \"$TEXT\". Answer: $IMAGE_INFO. The service caches nothing: every request is encoded, drawn and compressed."
  echo "- Coloured: the same text with fg c00000, gc 0000c0, pt 006400, inpt ff8800, bg fffff0 (a gradient: an 8-bit palette image)."
  echo "- Peer: \`$PEER_COMMAND\`, timed over the whole run of $PEER_IMAGES images."
  echo
  echo "| what | images/s | p50 | p99 | non-2xx | service CPU per image |"
  echo "|---|---:|---:|---:|---:|---:|"
  printf '%s' "$ROWS" | while IFS='|' read -r rps p50 p99 bad cpu round; do
    echo "| service, default colours, $CONNECTIONS connections, round $round | $rps | $p50 | $p99 | $bad | ${cpu} µs |"
  done
  echo "| service, gradient colours, $CONNECTIONS connections | $COLOURED_RPS | $COLOURED_P50 | $COLOURED_P99 | $COLOURED_BAD | ${COLOURED_CPU} µs |"
  echo "| qrencode command once per image, 2 at a time | $PEER_RPS | | | | |"
  echo
  echo "Median round (default colours): **$PLAIN_RPS images/s, p50 $PLAIN_P50, p99 $PLAIN_P99**; against the qrencode command: **${RATIO}×** the images per second."
  echo
  echo "Target: at least 3,000 images/s with p99 under 10 ms at 32 connections: $VERDICT."
  echo
  echo "wrk's own report of the median round:"
  echo
  echo '```'
  cat "$WORK/plain-$MEDIAN_ROUND.txt"
  echo '```'
} > "$OUT"
echo "service.sh: wrote $OUT" >&2
cat "$OUT" >&2
