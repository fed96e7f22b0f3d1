#!/usr/bin/env bash
# Measures the batch build (no pauses): MB of HTML per second, pages per
# second and peak memory, on Debian's python3.11-doc HTML, on the same
# corpus twice over (to see how the cost grows), and on a generated corpus.
# Usage: bench/index_bench.sh [BUILD_DIR]   (default: build, a release build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
scripts/install-deps.sh python3.11-doc
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vossik >/dev/null
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
