#!/usr/bin/env bash
# The installation under Wine, from Install Now to the completion page, against
# a baseline program that inflates the same streams into files with the same
# zlib; and the installer's peak memory. Uses the synthetic application that
# bench/run.sh wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=build/bench
bin=build/win64/bin
tool=build/native/tools/velmoran
prefix="$root/$work/wineprefix"
[ -f "$prefix/system.reg" ] || scripts/wine-prefix.sh "$prefix" >/dev/null

# The synthetic application plus incompressible bulk: an installer of about 256 MB.
if [ ! -d "$work/app256" ]; then
  cp -r "$work/app" "$work/app256"
  mkdir -p "$work/app256/bulk"
  for part in $(seq -w 1 22); do head -c 5000000 /dev/urandom > "$work/app256/bulk/part$part.bin"; done
fi
sed 's/^Source=app$/Source=app256/' "$work/bench.ini" > "$work/bench256.ini"
"$tool" build "$work/bench256.ini" -o "$work/BenchSetup.exe" --stub "$bin/velmoran-stub.exe"
start=$("$tool" list "$work/BenchSetup.exe" | sed -n 's/.*file data at \([0-9]*\).*/\1/p')
"$tool" list "$work/BenchSetup.exe" | awk '/^Files:/ { files = 1; next } files { size = $1; $1 = ""; sub(/^ /, ""); print size, $0 }' \
  > "$work/listing.txt"
cp "$bin/gui_driver.exe" "$bin/baseline_inflate.exe" bench/install_bench.gui "$work/"

display=$(scripts/xvfb.sh start 99 "$root/$work")
trap 'scripts/xvfb.sh stop "$root/$work"' EXIT
export VELMORAN_XVFB_DISPLAY=$display
wine() { (cd "$work" && "$root/scripts/wine-run.sh" "$prefix" "$@"); }
installed="$prefix/drive_c/Program Files/Bench"

best_installer=999 best_baseline=999 peak=""
for round in 1 2 3; do
  rm -rf "$installed" "$prefix/drive_c/baseline"
  output=$(wine gui_driver.exe install_bench.gui | tr -d '\r')
  seconds=$(echo "$output" | sed -n 's/.*elapsed installation: \([0-9.]*\) s/\1/p')
  peak=$(echo "$output" | sed -n 's/.*peak memory: //p')
  echo "  round $round: installer $seconds s" >&2
  best_installer=$(echo "if ($seconds < $best_installer) $seconds else $best_installer" | bc -l)
  rm -rf "$installed"
  wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bench' /f >/dev/null 2>&1 || true
  seconds=$(wine baseline_inflate.exe BenchSetup.exe "$start" listing.txt 'C:\baseline' | tr -d '\r')
  echo "  round $round: baseline $seconds s" >&2
  best_baseline=$(echo "if ($seconds < $best_baseline) $seconds else $best_baseline" | bc -l)
  rm -rf "$prefix/drive_c/baseline"
done
file_mb=$(echo "$(stat -c %s "$work/BenchSetup.exe") / 1048576" | bc -l)
printf 'install under Wine: Install Now to completion %.2f s; baseline inflate into files %.2f s; ratio %.3f (target <= 1.15)\n' \
  "$best_installer" "$best_baseline" "$(echo "$best_installer / $best_baseline" | bc -l)"
printf 'install under Wine: installer peak memory %s for a %.1f MB plain installer (target: private <= 32 MB)\n' \
  "$peak" "$file_mb"
