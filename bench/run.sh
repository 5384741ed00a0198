#!/usr/bin/env bash
# make bench: builder throughput and size, reader speed and memory, on a
# synthetic application of BENCH_MB megabytes (default 256).
set -euo pipefail
cd "$(dirname "$0")/.."
mb="${BENCH_MB:-256}"
work=build/bench
tool=build/native/tools/velmoran
bench=build/native/bench/payload_bench
mkdir -p "$work"
if [ ! -f "$work/tree.$mb" ]; then
  rm -rf "$work/app" "$work/app256" "$work"/tree.*
  echo "bench: writing a synthetic application of $mb MB"
  "$bench" make-tree "$work/app" "$mb"
  touch "$work/tree.$mb"
fi
printf '{\\rtf1 bench}' > "$work/about.rtf"
cp build/win64/bin/velmoran-stub.exe "$work/stub.exe"
cat > "$work/bench.ini" <<INI
[Application]
Name=Bench
MainProgram=Main.exe
MainShortcut=Bench
TargetFolder=%ProgramFiles%\\Bench
Source=app
About=about.rtf
Licence=about.rtf
INI

now() { date +%s.%N; }
timed_build() {
  local start end
  start=$(now)
  "$tool" build "$work/bench.ini" -o "$work/bench-j$1.exe" --stub "$work/stub.exe" -j "$1" </dev/null 2>/dev/null
  end=$(now)
  echo "$end - $start" | bc -l
}
t1=$(timed_build 1)
t2=$(timed_build 2)
bytes=$(du -sb "$work/app" | cut -f1)
cmp -s "$work/bench-j1.exe" "$work/bench-j2.exe" && same="identical" || same="DIFFERENT"
printf 'builder: -j1 %.2f s (%.1f MB/s), -j2 %.2f s (%.1f MB/s), speed-up %.2f (target >= 1.7); outputs %s\n' \
  "$t1" "$(echo "$bytes / 1048576 / $t1" | bc -l)" "$t2" "$(echo "$bytes / 1048576 / $t2" | bc -l)" \
  "$(echo "$t1 / $t2" | bc -l)" "$same"

ours=$(stat -c %s "$work/bench-j2.exe")
gz=0
while IFS= read -r -d '' f; do
  gz=$((gz + $(gzip -9 -c "$f" | wc -c)))
done < <(find "$work/app" -type f -print0)
data_start=$("$tool" list "$work/bench-j2.exe" | sed -n 's/.*file data at \([0-9]*\).*/\1/p')
streams=$((ours - data_start))
printf 'size: file streams %d bytes, gzip -9 of the same files %d bytes, ratio %.5f (target <= 1)\n' \
  "$streams" "$gz" "$(echo "$streams / $gz" | bc -l)"
printf 'size: whole installer %d bytes (adds the stub, texts and the file table), ratio %.5f\n' \
  "$ours" "$(echo "$ours / $gz" | bc -l)"

"$bench" read "$work/bench-j2.exe"
"$bench" limits
bash bench/install_bench.sh
bash bench/nsis_compare.sh
