#!/usr/bin/env bash
# Side by side with NSIS (Debian's nsis package, zlib compressor, amd64 stub) under Wine, on
# two generated trees: T1, about 186 MiB in 2,000 files; T2, 20,000 small files
# in 200 folders. Builds (2 cores), installs (start to done; NSIS silent) and
# uninstalls, in interleaved rounds; the minimum of each is printed with the
# ratio ours / NSIS, and our peak memory while installing T1.
#   BENCH_ROUNDS (default 5) sets the number of rounds; BENCH_TREES (default
#   "t1 t2") the trees.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=build/bench/nsis
rounds="${BENCH_ROUNDS:-5}"
trees="${BENCH_TREES:-t1 t2}"
tool=build/native/tools/velmoran
bin="${BENCH_BIN:-build/win64/bin}"  # another build's stub, to compare two versions
mkdir -p "$work"

if ! command -v makensis >/dev/null; then
  echo "bench: installing Debian's nsis for the comparison"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nsis >/dev/null
fi

prefix="$root/$work/wineprefix"
[ -f "$prefix/system.reg" ] || scripts/wine-prefix.sh "$prefix" >/dev/null
display=96
scripts/xvfb.sh start "$display" "$root/$work"
trap 'scripts/xvfb.sh stop "$display" "$root/$work"' EXIT
export VELMORAN_XVFB_DISPLAY=$display VELMORAN_HEADLESS=1
wine() { (cd "$work" && "$root/scripts/wine-run.sh" "$prefix" "$@"); }
drive_c="$prefix/drive_c"
cp "$bin/gui_driver.exe" "$work/"
printf '{\\rtf1 bench}' > "$work/about.rtf"
now() { date +%s.%N; }
seconds_since() { echo "$(now) - $1" | bc -l; }
min() { echo "if ($1 < $2) $1 else $2" | bc -l; }

declare -A best
measure() {  # NAME SECONDS: keeps the minimum
  best[$1]=$(min "$2" "${best[$1]:-999999}")
}

for tree in $trees; do
  [ -d "$work/$tree" ] || { echo "bench: writing tree $tree"; build/native/bench/payload_bench comparison-tree "$work/$tree" "$tree"; }
  cat > "$work/$tree.ini" <<INI
[Application]
Name=Bench $tree
MainProgram=Main.exe
MainShortcut=Bench $tree
TargetFolder=%ProgramFiles%\\Bench $tree
Source=$tree
About=about.rtf
Licence=about.rtf
INI
  cat > "$work/$tree.nsi" <<NSI
Target amd64-unicode
Unicode true
Name "Bench $tree"
OutFile "nsis-$tree.exe"
InstallDir "C:\\NsisBench_$tree"
RequestExecutionLevel admin
SetCompressor zlib
Section
  SetOutPath "\$INSTDIR"
  File /r "$tree\\*.*"
  WriteUninstaller "\$INSTDIR\\uninstall.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
  cat > "$work/install-$tree.gui" <<GUI
mark
start Setup-$tree.exe
click btnShowLicense
click btnAccept
click btnGoInstall
page tabInstalled
elapsed install
peak-memory
close-window
wait-exit
GUI
  cat > "$work/uninstall-$tree.gui" <<GUI
start C:\\Program Files\\Bench $tree\\uninstall.exe
page tabUninstall
mark
click btnUninstall
text labUninstall2 Uninstall Complete.
elapsed uninstall
click btnUninstallExit
wait-exit
GUI
done

for round in $(seq "$rounds"); do
  for tree in $trees; do
    start=$(now); "$tool" build "$work/$tree.ini" -o "$work/Setup-$tree.exe" -j 2 --stub "$bin/velmoran-stub.exe"
    measure "${tree^^} build ours" "$(seconds_since "$start")"
    start=$(now); (cd "$work" && makensis -V1 "$tree.nsi" >/dev/null)
    measure "${tree^^} build nsis" "$(seconds_since "$start")"

    ours_dir="$drive_c/Program Files/Bench $tree" nsis_dir="$drive_c/NsisBench_$tree"
    rm -rf "$ours_dir" "$nsis_dir"
    output=$(wine gui_driver.exe "install-$tree.gui" | tr -d '\r')
    measure "${tree^^} install ours" "$(sed -n 's/.*elapsed install: \([0-9.]*\) s/\1/p' <<<"$output")"
    [ "$tree" = t1 ] && peak=$(sed -n 's/.*peak memory: .*private \([0-9.]*\) MB.*/\1/p' <<<"$output") &&
      measure "T1 peak ours" "$peak"
    start=$(now); wine "nsis-$tree.exe" /S "/D=C:\\NsisBench_$tree"
    measure "${tree^^} install nsis" "$(seconds_since "$start")"

    output=$(wine gui_driver.exe "uninstall-$tree.gui" | tr -d '\r')
    measure "${tree^^} uninstall ours" "$(sed -n 's/.*elapsed uninstall: \([0-9.]*\) s/\1/p' <<<"$output")"
    start=$(now); wine "C:\\NsisBench_$tree\\uninstall.exe" /S "_?=C:\\NsisBench_$tree"
    measure "${tree^^} uninstall nsis" "$(seconds_since "$start")"
    sleep 2  # the removal script's last steps
    rm -rf "$ours_dir" "$nsis_dir" "$drive_c/uninstall_rd.bat"
    wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench $tree" /f >/dev/null 2>&1 || true
  done
  echo "bench: comparison round $round of $rounds done" >&2
done

printf '\n| measure | this project | NSIS (zlib) | ratio |\n|---|---|---|---|\n'
for measure in "T1 build" "T2 build" "T1 install" "T2 install" "T1 uninstall" "T2 uninstall"; do
  [ -n "${best["$measure ours"]:-}" ] || continue
  ours=${best["$measure ours"]} nsis=${best["$measure nsis"]}
  printf '| %s | %.2f s | %.2f s | %.2f |\n' "$measure" "$ours" "$nsis" "$(echo "$ours / $nsis" | bc -l)"
done
[ -z "${best["T1 peak ours"]:-}" ] ||
  printf '| T1 peak private memory while installing | %.1f MB | | |\n' "${best["T1 peak ours"]}"
echo "(minimum of $rounds interleaved rounds; builds on 2 cores; NSIS installs and uninstalls silently)"
