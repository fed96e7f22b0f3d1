#!/usr/bin/env bash
# Measures vossikd on Debian's python3.11-doc HTML: the time from saving a
# changed page to its words being searchable (the target is watch:delay
# plus under one second), the idle service's CPU time over a minute and its
# memory, and GETSTATUS requests per second on loopback with and without a
# password.
# Usage: bench/service_bench.sh [BUILD_DIR]   (default: build, a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
scripts/install-deps.sh python3.11-doc
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vossik vossikd admin_requests >/dev/null
case "$build" in /*) ;; *) build="$root/$build" ;; esac

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

delay=1
cp -r /usr/share/doc/python3.11/html "$work/site"
mkdir "$work/service"
printf '[Index]\nDirSrc=%s\nDirDest=search\n[Service]\nPort=0\n[Watch]\nDelay=%s\n' \
  "$work/site" "$delay" >"$work/service/vossikd.cfg"
"$build/vossikd" -C "$work/service" 2>"$work/service/stderr" &
pid=$!
for _ in $(seq 1 500); do
  grep -q "listening on" "$work/service/stderr" 2>/dev/null && break
  sleep 0.02
done
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/service/stderr")
[ -n "$port" ] || { cat "$work/service/stderr"; exit 1; }

cd "$work"
admin() { "$build/vossik" -admin "$@" -set service:port="$port"; }
field() { admin request GETSTATUS | sed -n "s/.*<$1>\([^<]*\)<.*/\1/p"; }
wait_idle() {  # until the builds so far are done and nothing waits
  until [ "$(field building)" = 0 ] && [ "$(field pending)" = 0 ] && [ "$(field builds)" -ge "$1" ]; do
    sleep 0.05
  done
}
search() {
  "$build/vossik" -search "$1" -set index:dirsrc="$work/site" -set index:dirdest=search 2>/dev/null |
    grep -Eq '^[0-9]+ pages? found for'
}
now() { date +%s.%N; }

wait_idle 1
pages=$(admin stats | sed -n 's/^Pages=//p')
seconds=$(admin stats | sed -n 's/^LastBuildSeconds=//p')
echo "vossikd on python3.11-doc: $pages pages, a full build takes $seconds s, watch:delay ${delay} s"

echo "From saving a changed page to its words being searchable:"
builds=$(field builds)
for word in zqxjkingfisher zqxjheronry zqxjcormorant; do
  printf '<p>%s</p>\n' "$word" >>"$work/site/library/functions.html"
  start=$(now)
  until search "$word"; do sleep 0.01; done
  end=$(now)
  builds=$((builds + 1))
  wait_idle "$builds"
  awk -v s="$start" -v e="$end" -v d="$delay" -v w="$word" \
    'BEGIN { printf "  %-16s %5.2f s (delay %d s + %4.2f s)\n", w, e - s, d, e - s - d }'
done

echo "Idle for a minute:"
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep 60
after=$(ticks)
awk -v b="$before" -v a="$after" -v hz="$hz" 'BEGIN { printf "  CPU time %.2f s in 60 s\n", (a - b) / hz }'
grep -E '^(VmRSS|VmHWM)' "/proc/$pid/status" | sed 's/^/  /'

echo "GETSTATUS on loopback, through the administration client:"
"$build/bench/admin_requests" "$port" 5 1
"$build/bench/admin_requests" "$port" 5 4
echo "bench password" | "$build/vossikd" -C "$work/service" -password 2>/dev/null
kill -HUP "$pid"
until "$build/vossik" -admin status -set service:port="$port" \
  -set "administrator:password=bench password" >/dev/null; do sleep 0.05; done
"$build/bench/admin_requests" "$port" 5 1 "bench password"
"$build/bench/admin_requests" "$port" 5 4 "bench password"
