#!/usr/bin/env bash
# Measures the batch build (no pauses): MB of HTML per second, pages per
# second and peak memory, on Debian's python3.11-doc HTML, on the same
# corpus twice over (to see how the cost grows), and on a generated corpus.
# Then times the settings window's build (behind the progress window, in
# time slices) against the batch build on the same sites; it must stay
# within 1.5 times the batch build's time, or the script fails.
# Usage: bench/index_bench.sh [BUILD_DIR]   (default: build, a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
scripts/install-deps.sh python3.11-doc
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vossik window_build >/dev/null
case "$build" in /*) ;; *) build="$root/$build" ;; esac
vossik="$build/vossik"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Generated corpus: pages of words drawn from a fixed vocabulary.
python3 - "$work/generated" <<'PY'
import os, random, sys
random.seed(7)
out = sys.argv[1]
vocab = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(3, 11)))
         for _ in range(40000)]
for i in range(4000):
    folder = os.path.join(out, 'section%02d' % (i % 40))
    os.makedirs(folder, exist_ok=True)
    words = ' '.join(random.choice(vocab) for _ in range(random.randint(300, 3000)))
    with open(os.path.join(folder, 'page%05d.html' % i), 'w') as f:
        f.write('<html><head><title>Page %d %s</title></head><body><p>%s</p></body></html>\n'
                % (i, random.choice(vocab), words))
PY

cp -r /usr/share/doc/python3.11/html "$work/python"
mkdir -p "$work/python2x"
cp -r /usr/share/doc/python3.11/html "$work/python2x/a"
cp -r /usr/share/doc/python3.11/html "$work/python2x/b"

measure() {
  local name=$1 site=$2
  local html_bytes pages
  html_bytes=$(find "$site" -name '*.htm*' -printf '%s\n' | awk '{s+=$1} END {print s}')
  pages=$(find "$site" -name '*.htm*' | wc -l)
  (cd "$work" && /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" \
    "$vossik" -build -set index:dirsrc="$site" -set index:dirdest=vossik-search >/dev/null 2>&1)
  read -r seconds user system peak_kb <"$work/time.txt"
  local index_bytes
  index_bytes=$(find "$site/vossik-search" -name 'vkindex*.js' -printf '%s\n' | awk '{s+=$1} END {print s}')
  awk -v n="$name" -v b="$html_bytes" -v p="$pages" -v s="$seconds" -v c="$user" -v k="$system" \
      -v m="$peak_kb" -v i="$index_bytes" 'BEGIN {
    mb = b / 1e6; cpu = c + k; if (s < 0.001) s = 0.001; if (cpu < 0.001) cpu = 0.001
    printf "%-18s %5d pages %6.1f MB  wall %5.2f s (%6.1f MB/s, %5.0f pages/s)  cpu %5.2f s (%6.1f MB/s)  peak %5.1f MiB  index %5.1f MiB  limit %5.1f MiB\n",
      n, p, mb, s, mb / s, p / s, cpu, mb / cpu, m / 1024, i / 1048576, 64 + 4 * i / 1048576 }'
}

echo "Batch build, one worker thread, no pauses:"
measure "python3.11-doc" "$work/python"
measure "python3.11-doc x2" "$work/python2x"
measure "generated" "$work/generated"

# The window's build against the batch build, best of three runs each.
window_vs_batch() {
  local name=$1 site=$2 batch=999 window=999 t
  for _ in 1 2 3; do
    rm -rf "$site/vossik-search"
    (cd "$work" && /usr/bin/time -f '%e' -o "$work/time.txt" \
      "$vossik" -build -set index:dirsrc="$site" -set index:dirdest=vossik-search >/dev/null 2>&1)
    t=$(cat "$work/time.txt")
    batch=$(awk -v a="$batch" -v b="$t" 'BEGIN {print (b < a) ? b : a}')
    rm -rf "$site/vossik-search"
    t=$(cd "$work" && QT_QPA_PLATFORM=offscreen "$build/bench/window_build" "$build/vossik.cfgml" \
      "$site" vossik-search "$root/templates" | cut -d' ' -f1)
    window=$(awk -v a="$window" -v b="$t" 'BEGIN {print (b < a) ? b : a}')
  done
  awk -v n="$name" -v b="$batch" -v w="$window" 'BEGIN {
    if (b < 0.01) b = 0.01
    r = w / b
    printf "%-18s -build %6.2f s   window %6.2f s   ratio %4.2f (limit 1.50)\n", n, b, w, r
    exit (r > 1.5) ? 1 : 0 }'
}

echo "The window's build against -build:"
status=0
window_vs_batch "python3.11-doc" "$work/python" || status=1
cp -r "$root/sample-site" "$work/sample"
window_vs_batch "sample-site" "$work/sample" || status=1
exit $status
