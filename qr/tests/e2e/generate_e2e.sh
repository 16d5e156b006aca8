#!/bin/bash
# End to end: the QR image service on the program's built-in host, Zenqar.exe
# driven under Wine as a user would, and each captured picture read back with
# ZXing-C++, a reader none of us wrote.
#   generate_e2e.sh HOST:PORT SERVICE_BINARY WINRUN PREFIX DRIVER_EXE
set -u
host=${1%:*} port=${1##*:} service=$2 winrun=$3 prefix=$4 driver=$5
if [ ! -x "$service" ]; then
  echo "no QR image service at $service (build the native preset first)"; exit 77
fi
work=$(mktemp -d)
service_pid=""
cleanup() { [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

if (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; then
  echo "something already listens on $host:$port; this test starts its own service there"; exit 1
fi
# First with nothing listening: no picture and no message.
"$winrun" "$prefix" "$driver" --no-service >"$work/driver.log" 2>&1
no_service_status=$?
cat "$work/driver.log"
[ $no_service_status -eq 0 ] || { echo "the click without a service went wrong"; exit 1; }

"$service" --listen "$host" --port "$port" 2>"$work/service.log" &
service_pid=$!
for _ in $(seq 100); do (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null && break; sleep 0.1; done

# Wine sees the host's / as drive Z:. The output goes through a file: Wine's
# own services, when this starts them, keep their inherited output open.
"$winrun" "$prefix" "$driver" "Z:${work//\//\\}" >"$work/driver.log" 2>&1
driver_status=$?
cat "$work/driver.log"
[ $driver_status -eq 0 ] || { echo "driver failed"; exit 1; }

failed=0
for expected in "$work"/*.expected; do
  name=$(basename "$expected" .expected)
  want=$(od -An -tx1 -v "$expected" | tr -d ' \n' | tr a-f A-F)
  got=$(ZXingReader -format QRCode "$work/$name.bmp" 2>/dev/null | sed -n 's/^Bytes: *//p' | tr -d ' ')
  if [ "$got" = "$want" ]; then
    echo "ok   $name: $(cat "$expected")"
  else
    echo "FAIL $name: wanted $(cat "$expected"), read '$got'"
    cp "$work/$name.bmp" "/tmp/zenqar-e2e-$name.bmp" && echo "     capture kept as /tmp/zenqar-e2e-$name.bmp"
    failed=1
  fi
done
[ "$(ls "$work"/*.expected 2>/dev/null | wc -l)" -eq 5 ] || { echo "not every case ran"; failed=1; }
# The service answers PNG, which the picture box cannot show: each click
# costs two requests, the second converted to GIF.
requests=$(grep -c 'api.php?' "$work/service.log")
[ "$requests" -eq 10 ] || { echo "the service saw $requests requests, not two per click"; failed=1; }
exit $failed
