#!/bin/sh
# round_trip.sh SERVICE LOCALE_DIR EMULATOR... TEST.EXE
# Runs the round-trip test with the local QR image service on the program's
# address, under a Chinese locale so that Wine's system code page is GBK. The
# service answers in GIF, which the picture box shows as it comes: this test
# is about reading and keeping the picture, not about PNG conversion.
set -u
service=$1 locale_dir=$2
shift 2
if [ ! -x "$service" ]; then
  echo "round_trip.sh: no QR image service at $service (build the native preset first)" >&2
  exit 1
fi
"$service" --listen 127.0.0.1 --port 8731 --format gif 2>service.log &
service_pid=$!
for _ in $(seq 50); do
  grep -q listening service.log 2>/dev/null || ! kill -0 "$service_pid" 2>/dev/null && break
  sleep 0.1
done
if ! kill -0 "$service_pid" 2>/dev/null; then
  # The port is taken: another copy of the service answers there.
  echo "round_trip.sh: using the service already on 127.0.0.1:8731" >&2
  service_pid=""
fi
LOCPATH="$locale_dir" LC_ALL=zh_CN.UTF-8 "$@"
status=$?
[ -n "$service_pid" ] && kill "$service_pid" && wait "$service_pid" 2>/dev/null
exit $status
