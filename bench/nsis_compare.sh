#!/usr/bin/env bash
# Side by side with NSIS (Debian's nsis package, amd64 stub) under Wine, each
# with its zlib and its solid LZMA compression, on three trees: T1, about
# 186 MiB in 2,000 generated files; T2, 20,000 small generated files in 200
# folders; R1, real Windows programs nobody here wrote (the first 120 MB by
# name of wine64's PE DLLs and programs) plus the text documentation of a few
# packages and CMake's manual. Installer sizes, builds (2 cores), installs (start to done; NSIS
# silent) and uninstalls, in interleaved rounds; the minimum of each is printed
# with the ratio ours / NSIS, and our peak memory while installing T1.
#   BENCH_ROUNDS (default 5) sets the number of rounds; BENCH_TREES (default
#   "t1 t2 r1") the trees.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=build/bench/nsis
rounds="${BENCH_ROUNDS:-5}"
trees="${BENCH_TREES:-t1 t2 r1}"
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
display=$(scripts/xvfb.sh start 96 "$root/$work")
trap 'scripts/xvfb.sh stop "$root/$work"' EXIT
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

# R1: wine64's PE files in name order up to 120 MB, and some packages' texts.
write_r1() {
  local into="$1" total=0 size
  mkdir -p "$into/bin" "$into/doc"
  while IFS= read -r -d '' file; do
    size=$(stat -c %s "$file")
    [ $((total + size)) -le $((120 << 20)) ] || break
    cp "$file" "$into/bin/"
    total=$((total + size))
  done < <(find /usr/lib/x86_64-linux-gnu/wine/x86_64-windows -maxdepth 1 -type f \( -name '*.dll' -o -name '*.exe' \) -print0 | sort -z)
  for package in wine64 libwine xz-utils zlib1g cmake-data; do
    [ -d "/usr/share/doc/$package" ] || continue
    find "/usr/share/doc/$package" -type f ! -name '*.gz' -exec cp --parents -t "$into/doc" {} + 2>/dev/null || true
  done
  cp -r /usr/share/common-licenses "$into/doc/"
  # CMake's reStructuredText manual: 9 MB of plain text in about a thousand files.
  [ ! -d /usr/share/cmake-3.25/Help ] || cp -r /usr/share/cmake-3.25/Help "$into/doc/cmake-help"
  cp "$into/bin/$(ls "$into/bin" | grep -m1 '\.exe$')" "$into/Main.exe"
}

for tree in $trees; do
  if [ ! -d "$work/$tree" ]; then
    echo "bench: writing tree $tree"
    if [ "$tree" = r1 ]; then write_r1 "$work/$tree.part" && mv "$work/$tree.part" "$work/$tree"
    else build/native/bench/payload_bench comparison-tree "$work/$tree" "$tree"; fi
  fi
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
  for compressor in zlib lzma; do
    [ "$compressor" = zlib ] && setting="zlib" || setting="/SOLID lzma"
    cat > "$work/$tree-$compressor.nsi" <<NSI
Target amd64-unicode
Unicode true
Name "Bench $tree"
OutFile "nsis-$compressor-$tree.exe"
InstallDir "C:\\NsisBench_$tree"
RequestExecutionLevel admin
SetCompressor $setting
Section
  SetOutPath "\$INSTDIR"
  File /r "$tree\\*.*"
  WriteUninstaller "\$INSTDIR\\uninstall.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
SectionEnd
NSI
    cat > "$work/install-$compressor-$tree.gui" <<GUI
mark
start Setup-$compressor-$tree.exe
click btnShowLicense
click btnAccept
click btnGoInstall
page tabInstalled
elapsed install
peak-memory
close-window
wait-exit
GUI
  done
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
    ours_dir="$drive_c/Program Files/Bench $tree" nsis_dir="$drive_c/NsisBench_$tree"
    for compressor in zlib lzma; do
      name="${tree^^} $compressor"
      start=$(now)
      "$tool" build "$work/$tree.ini" -o "$work/Setup-$compressor-$tree.exe" -j 2 --stub "$bin/velmoran-stub.exe" \
        --compression "$compressor"
      measure "$name build ours" "$(seconds_since "$start")"
      start=$(now); (cd "$work" && makensis -V1 "$tree-$compressor.nsi" >/dev/null)
      measure "$name build nsis" "$(seconds_since "$start")"
      best["$name size ours"]=$(stat -c %s "$work/Setup-$compressor-$tree.exe")
      best["$name size nsis"]=$(stat -c %s "$work/nsis-$compressor-$tree.exe")

      rm -rf "$ours_dir" "$nsis_dir"
      output=$(wine gui_driver.exe "install-$compressor-$tree.gui" | tr -d '\r')
      measure "$name install ours" "$(sed -n 's/.*elapsed install: \([0-9.]*\) s/\1/p' <<<"$output")"
      [ "$tree $compressor" = "t1 zlib" ] && peak=$(sed -n 's/.*peak memory: .*private \([0-9.]*\) MB.*/\1/p' <<<"$output") &&
        measure "T1 peak ours" "$peak"
      [ "$tree $compressor" = "t1 lzma" ] && peak=$(sed -n 's/.*peak memory: .*private \([0-9.]*\) MB.*/\1/p' <<<"$output") &&
        measure "T1 lzma peak ours" "$peak"
      start=$(now); wine "nsis-$compressor-$tree.exe" /S "/D=C:\\NsisBench_$tree"
      measure "$name install nsis" "$(seconds_since "$start")"

      output=$(wine gui_driver.exe "uninstall-$tree.gui" | tr -d '\r')
      measure "$name uninstall ours" "$(sed -n 's/.*elapsed uninstall: \([0-9.]*\) s/\1/p' <<<"$output")"
      start=$(now); wine "C:\\NsisBench_$tree\\uninstall.exe" /S "_?=C:\\NsisBench_$tree"
      measure "$name uninstall nsis" "$(seconds_since "$start")"
      sleep 2  # the removal script's last steps
      rm -rf "$ours_dir" "$nsis_dir" "$drive_c/uninstall_rd.bat"
      wine reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench $tree" /f >/dev/null 2>&1 || true
    done
  done
  echo "bench: comparison round $round of $rounds done" >&2
done

ratio() { echo "$1 / $2" | bc -l; }
printf '\n| measure | this project | NSIS | ratio |\n|---|---|---|---|\n'
for tree in $trees; do
  for compressor in zlib lzma; do
    name="${tree^^} $compressor"
    ours=${best["$name size ours"]} nsis=${best["$name size nsis"]}
    printf '| %s installer bytes | %d | %d | %.3f |\n' "$name" "$ours" "$nsis" "$(ratio "$ours" "$nsis")"
    for measure in build install uninstall; do
      ours=${best["$name $measure ours"]} nsis=${best["$name $measure nsis"]}
      printf '| %s %s | %.2f s | %.2f s | %.2f |\n' "$name" "$measure" "$ours" "$nsis" "$(ratio "$ours" "$nsis")"
    done
  done
  printf '| %s lzma install / our zlib install | | | %.2f |\n' "${tree^^}" \
    "$(ratio "${best["${tree^^} lzma install ours"]}" "${best["${tree^^} zlib install ours"]}")"
done
for name in "T1 peak ours" "T1 lzma peak ours"; do
  [ -z "${best[$name]:-}" ] || printf '| %s private memory while installing | %.1f MB | | |\n' "${name% ours}" "${best[$name]}"
done
echo "(minimum of $rounds interleaved rounds; builds on 2 cores; NSIS installs and uninstalls silently; NSIS's"
echo " lzma is SetCompressor /SOLID lzma; ours is --compression lzma, both at their default levels)"
