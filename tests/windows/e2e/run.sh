#!/usr/bin/env bash
# Runs one end-to-end scenario: prepares an installer from the bundled sample,
# lets the GUI driver play the scenario's script against it under wine64 on the
# virtual display, and checks the machine afterwards. Screenshots land in SHOTS
# as SCENARIO-NAME.png.
#   run.sh SCENARIO BIN SOURCE SHOTS PREFIX
set -euo pipefail
# A command that fails outside fail() says which, and where.
# A registry query's own errors are kept for that message: a query of a value
# that is missing fails as expected, one that fails to start tells why.
trap 'echo "FAILED: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2
      case "$BASH_COMMAND" in *reg_value*) cat "${work:-}/reg.err" >&2 2>/dev/null ;; esac' ERR
scenario="$1" bin="$2" source="$3" shots="$4" prefix="$5"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/velmoran-e2e-$scenario.XXXXXX")"
drive_c="$prefix/drive_c"
app_dir="$drive_c/Program Files/Kestrel Notes"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel Notes'
shell_folders='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
restore=()

cleanup() {
  for command in "${restore[@]}"; do eval "$command" || true; done
  # Whatever a scenario installed goes, so the next one starts from a clean prefix.
  rm -rf "$app_dir" "$drive_c/Vendor" "$drive_c/Apps" "$drive_c/uninstall_rd.bat" "$(unix_path "$programs")/Kestrel Notes"
  rm -f "$drive_c"/*.log
  rm -f "$(unix_path "$desktop")/Kestrel Notes.lnk"
  wine_run reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
  if [ -n "${small_drive:-}" ]; then
    umount -l "$small_drive" 2>/dev/null || true
    rmdir "$small_drive"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
# Wine's own errors of loading, memory and exceptions reach the output, which
# ctest shows only for a failed scenario: they tell why a program did not start.
wine_run() { (cd "$work" && WINEDEBUG="${WINEDEBUG:--all,err+module,err+virtual,err+seh}" "$source/scripts/wine-run.sh" "$prefix" "$@"); }
reg_value() { wine_run reg query "$1" /v "$2" 2>"$work/reg.err" | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*[[:space:]]*//p'; }
unix_path() { local p="${1#[Cc]:\\}"; printf '%s/%s' "$drive_c" "${p//\\//}"; }
# Waits up to ten seconds for a shell condition.
eventually() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }

# Wine's desktop belongs to the session (the wine server) that first made it: a
# session started without a display keeps none for the scenarios after it, and
# one started with a display would hand it on. Headless runs get one of their own.
end_wine_session() { WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w; }
# Runs a program as a service session would: no display at all. Its exit code
# is returned (modulo 256, as Wine's launcher hands it on).
wine_headless() {
  (cd "$work" && env -u DISPLAY -u VELMORAN_XVFB_DISPLAY -u VELMORAN_XVFB_DISPLAY_FILE WINEPREFIX="$prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=" timeout 120 setarch "$(uname -m)" -R /usr/lib/wine/wine64 "$@")
}
# Expects exit code $1 from the rest, run headless (or with the display, where
# RUNNER says wine_run).
expect_exit() {
  local expected="$1" status=0; shift
  "${RUNNER:-wine_headless}" "$@" >"$work/headless.out" 2>&1 || status=$?
  [ "$status" -eq "$expected" ] || fail "$* ended with $status, expected $expected: $(cat "$work/headless.out")"
}
add_identity() {
  sed -i 's/^\[Shortcuts\]/Version=2.4.1\nPublisher=Kestrel Software\n\n[Shortcuts]/' "$work/sample/kestrel.ini"
}

programs=$(reg_value "$shell_folders" "Common Programs")
desktop=$(reg_value "$shell_folders" "Common Desktop")

cp -r "$source/sample" "$work/sample"
cp "$bin/Kestrel.exe" "$work/sample/app/Kestrel.exe"
export VELMORAN_HEADLESS=1
cp "$bin/velmoran.exe" "$bin/velmoran-stub.exe" "$bin/gui_driver.exe" "$bin/resource_probe.exe" "$bin/file_holder.exe" "$work/"
build() { wine_run velmoran.exe build sample/kestrel.ini -o KestrelSetup.exe --stub velmoran-stub.exe "$@"; }
file_data_start() { wine_run velmoran.exe list KestrelSetup.exe | sed -n 's/.*file data at \([0-9]*\).*/\1/p'; }

# Plays a driver script, with @PROGRAMS@ and @DESKTOP@ filled in.
drive() {
  local script
  script=$(<"$here/$1")
  script=${script//@PROGRAMS@/$programs}
  script=${script//@DESKTOP@/$desktop}
  # DRIVE_EDIT, a sed expression, changes the script for one scenario.
  [ -z "${DRIVE_EDIT:-}" ] || script=$(sed "$DRIVE_EDIT" <<<"$script")
  printf '%s\n' "$script" > "$work/$1"
  wine_run gui_driver.exe "$1"
}

check_installed_files() {
  for file in Kestrel.exe readme.txt docs/guide.txt; do
    cmp -s "$work/sample/app/$file" "$app_dir/$file" || fail "$file differs from its source"
  done
}

# The files, uninstaller, log and registry entry an installation of the sample leaves.
check_installed() {
  local folder='C:\Program Files\Kestrel Notes'
  check_installed_files
  head -c "$(file_data_start)" "$work/KestrelSetup.exe" | cmp -s - "$app_dir/uninstall.exe" ||
    fail "uninstall.exe is not the installer's prefix"
  printf '%s\r\n' "$folder\\Kestrel.exe" "$folder\\docs\\guide.txt" "$folder\\readme.txt" "$folder\\uninstall.exe" \
    "$folder\\Kestrel Notes.ilg" "$desktop\\Kestrel Notes.lnk" "$programs\\Kestrel Notes\\Kestrel Notes.lnk" \
    "$programs\\Kestrel Notes\\User Guide.lnk" "$programs\\Kestrel Notes\\Read Me.lnk" > "$work/expected.ilg"
  cmp -s "$work/expected.ilg" "$app_dir/Kestrel Notes.ilg" || fail "the install log is not as expected"
  [ "$(reg_value "$uninstall_key" DisplayName)" = "Kestrel Notes" ] || fail "DisplayName is not registered"
  [ "$(reg_value "$uninstall_key" UninstallString)" = "\"$folder\\uninstall.exe\" uninstall" ] ||
    fail "UninstallString is not registered"
}

check_removed() {
  eventually '[ ! -e "$app_dir" ]' || fail "the install folder is still there: $(ls -A "$app_dir")"
  eventually '[ ! -e "$drive_c/uninstall_rd.bat" ]' || fail "the removal script is still there"
  [ ! -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "the desktop shortcut is still there"
  [ ! -e "$(unix_path "$programs")/Kestrel Notes" ] || fail "the program group is still there"
  [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the registry entry is still there"
}

# Puts TEXT in place of the header line NAME=... of the plain installer.
set_header_value() {
  NAME="$1" VALUE="$2" perl -0777 -pi -e 's/\r\n\Q$ENV{NAME}\E=[^\r]*\r\n/\r\n$ENV{NAME}=$ENV{VALUE}\r\n/' "$work/KestrelSetup.exe"
}

# Appends FILE2 inside FILE1's certificate table: the security directory's size
# and the certificate's own length grow by what is appended (8-byte aligned).
inject_into_certificate_table() {
  perl -e '
    open my $f, "+<:raw", $ARGV[0] or die; local $/; my $pe = <$f>;
    open my $g, "<:raw", $ARGV[1] or die; my $add = <$g>;
    $add .= "\0" x ((8 - length($add) % 8) % 8);
    my $opt = unpack("V", substr($pe, 0x3C, 4)) + 24;
    my $entry = $opt + (unpack("v", substr($pe, $opt, 2)) == 0x20B ? 112 : 96) + 8 * 4;
    my ($table, $size) = unpack("VV", substr($pe, $entry, 8));
    die "no certificate table at the end" unless $table + $size == length($pe);
    substr($pe, $entry + 4, 4) = pack("V", $size + length($add));
    substr($pe, $table, 4) = pack("V", unpack("V", substr($pe, $table, 4)) + length($add));
    seek $f, 0, 0; print $f $pe . $add; close $f;' "$1" "$2"
}

home_entries() { ls -A "$HOME" | sort; }
menu_places=("$HOME/.local/share/applications" "$HOME/.local/share/desktop-directories" "$HOME/.local/share/icons"
             "$HOME/.config/menus" "$HOME/Desktop")

snapshot() { (cd "$drive_c" && find . -path ./users -prune -o -path ./windows -prune -o -print | sort); }

case "$scenario" in
  damaged-marker)
    cp "$work/velmoran-stub.exe" "$work/KestrelSetup.exe"
    drive "$scenario.gui" ;;
  damaged-header)
    build
    head -c "$(( $(stat -c %s "$work/velmoran-stub.exe") + 120 ))" "$work/KestrelSetup.exe" > "$work/cut.exe"
    mv "$work/cut.exe" "$work/KestrelSetup.exe"
    drive "$scenario.gui" ;;
  damaged-checksum)
    build --scramble
    size=$(stat -c %s "$work/KestrelSetup.exe")
    last=$(tail -c 1 "$work/KestrelSetup.exe" | od -An -tu1 | tr -d ' ')
    printf "$(printf '\\%03o' $(( last ^ 1 )))" | dd of="$work/KestrelSetup.exe" bs=1 seek=$((size - 1)) conv=notrunc status=none
    drive "$scenario.gui" ;;
  damaged-general)
    build
    # A shell-folder value of the wrong type makes start-up fail as a whole.
    wine_run reg add "$shell_folders" /v "Common Programs" /t REG_DWORD /d 7 /f >/dev/null
    restore+=("wine_run reg add '$shell_folders' /v 'Common Programs' /t REG_SZ /d '$programs' /f >/dev/null")
    drive "$scenario.gui" ;;
  uninstall-mode)
    build
    printf 'C:\\nowhere\\a.txt\r\n' > "$work/Kestrel Notes.ilg"
    drive "$scenario.gui" ;;
  planted-dll)
    # Fakes of DLLs the window loads after start-up, told to win over Wine's
    # own; the installer sits apart from the driver, which guards nothing.
    build
    mkdir "$work/downloads"
    mv "$work/KestrelSetup.exe" "$work/downloads/"
    cp "$bin/planted.dll" "$work/downloads/uxtheme.dll"
    cp "$bin/planted.dll" "$work/downloads/comctl32.dll"
    WINEDLLOVERRIDES="uxtheme,comctl32=n,b;mscoree,mshtml=" drive "$scenario.gui"
    [ ! -e "$work/downloads/planted-dll-loaded.txt" ] || fail "the installer loaded a DLL planted beside it" ;;
  plain-texts)
    printf 'Plain about text, no RTF here.' > "$work/sample/about.rtf"
    printf 'Plain licence text.' > "$work/sample/licence.rtf"
    build
    drive "$scenario.gui" ;;
  no-pictures)
    sed -i '/^Splash=/d; /^Icon=/d' "$work/sample/kestrel.ini"
    build
    drive "$scenario.gui" ;;
  lifecycle|lifecycle-scrambled|lifecycle-lzma)
    case "$scenario" in
      lifecycle) build ;;
      lifecycle-scrambled) build --scramble ;;
      *) build --compression lzma ;;
    esac
    find "$drive_c/users" -name kestrel-started.txt -delete
    before=$(snapshot)
    home_before=$(home_entries)
    touch "$work/home-marker"
    drive lifecycle.gui
    eventually '[ -n "$(find "$drive_c/users" -name kestrel-started.txt)" ]' || fail "Run Program did not start the program"
    check_installed
    drive lifecycle.uninstall
    check_removed
    [ "$(snapshot)" = "$before" ] || fail "the prefix differs after the life cycle: $(diff <(echo "$before") <(snapshot))"
    # Shortcuts must not turn into menu entries or desktop files of the person
    # running the tests: no new entry in the home folder, nothing new where
    # Wine's menu builder writes.
    [ "$(home_entries)" = "$home_before" ] || fail "the life cycle changed the home folder: $(diff <(echo "$home_before") <(home_entries))"
    changed=$(find "${menu_places[@]}" -newer "$work/home-marker" 2>/dev/null || true)
    [ -z "$changed" ] || fail "the life cycle wrote menu entries or desktop files: $changed" ;;
  hostile-names)
    for change in 'AppName=..\..\users\Public\Evil' 'ShortcutName1=..\Startup\evil' 'ExeShortcut=..\..\..\windows\evil'; do
      build
      set_header_value "${change%%=*}" "${change#*=}"
      before=$(snapshot)
      drive "$scenario.gui"
      [ "$(snapshot)" = "$before" ] || fail "$change: the prefix changed: $(diff <(echo "$before") <(snapshot))"
      [ ! -e "$drive_c/users/Public/Evil.ilg" ] || fail "$change: a log was saved outside"
      [ -z "$(find "$drive_c/windows" "$drive_c/users" -name 'evil*.lnk')" ] || fail "$change: a shortcut was made outside"
    done ;;
  injected-log)
    build
    drive lifecycle.gui
    printf 'keep' > "$drive_c/victim.txt"
    printf '%s\r\n' 'C:\victim.txt' 'C:\x" & echo pwned > C:\pwned.txt & rem "uninstall.exe' \
      'C:\Program Files\Kestrel Notes\..\..\victim.txt' >> "$app_dir/Kestrel Notes.ilg"
    drive "$scenario.uninstall"
    check_removed
    [ "$(cat "$drive_c/victim.txt")" = keep ] || fail "a file the log named outside the installation was deleted"
    [ ! -e "$drive_c/pwned.txt" ] || fail "a command injected into the log ran"
    rm -f "$drive_c/victim.txt" ;;
  script-path-taken)
    # A folder where the removal script goes: the script goes to the temporary folder.
    build
    mkdir -p "$drive_c/uninstall_rd.bat"
    restore+=("rmdir '$drive_c/uninstall_rd.bat'")
    drive lifecycle.gui
    drive lifecycle.uninstall
    eventually '[ ! -e "$app_dir" ]' || fail "the install folder is still there: $(ls -A "$app_dir")"
    eventually '[ -z "$(find "$drive_c/users" -name "uninstall_rd-*.bat")" ]' || fail "the script in the temporary folder is still there"
    [ -d "$drive_c/uninstall_rd.bat" ] || fail "the folder at the script's path was touched" ;;
  cycles)
    build
    before=$(snapshot)
    for round in $(seq "${VELMORAN_CYCLES:-20}"); do
      drive lifecycle.gui
      drive lifecycle.uninstall
      check_removed
      find "$drive_c/users" -name kestrel-started.txt -delete
      [ "$(snapshot)" = "$before" ] || fail "round $round left the prefix changed: $(diff <(echo "$before") <(snapshot))"
    done ;;
  full-drive)
    # A 2 MB file system as the folder C:\Small, for a 4 MB file.
    small_drive="$drive_c/Small"
    mkdir -p "$small_drive"
    mount -t tmpfs -o size=2m tmpfs "$small_drive" 2>/dev/null ||
      { rmdir "$small_drive"; small_drive=; echo "SKIP: cannot mount a small file system here"; exit 77; }
    head -c 4000000 /dev/urandom > "$work/sample/app/big.bin"
    build --level 1
    drive "$scenario.gui"
    [ ! -e "$small_drive/Kestrel Notes/Kestrel Notes.ilg" ] || fail "a log was written on the full drive" ;;
  unattended)
    # What a deployment tool does: install and uninstall with no window, in a
    # session without a display, reading exit codes and the setup log.
    add_identity
    build
    folder='C:\Apps\Kestrel Notes' apps="$drive_c/Apps/Kestrel Notes"
    end_wine_session
    restore+=(end_wine_session)
    expect_exit 0 KestrelSetup.exe /S /LOG=C:\\setup.log "/D=$folder"
    for file in Kestrel.exe readme.txt docs/guide.txt; do
      cmp -s "$work/sample/app/$file" "$apps/$file" || fail "$file is not installed"
      grep -qF "File: $folder\\${file//\//\\}" "$drive_c/setup.log" || fail "the log does not name $file: $(cat "$drive_c/setup.log")"
    done
    grep -qF "Exit code: 0" "$drive_c/setup.log" || fail "the log does not end with the exit code"
    [ -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "no desktop shortcut"
    [ -e "$(unix_path "$programs")/Kestrel Notes/User Guide.lnk" ] || fail "no program group"
    for expected in "DisplayName=Kestrel Notes" "DisplayVersion=2.4.1" "Publisher=Kestrel Software" \
                    "QuietUninstallString=\"$folder\\uninstall.exe\" /S" "InstallLocation=$folder\\" "NoRepair=0x1"; do
      [ "$(reg_value "$uninstall_key" "${expected%%=*}")" = "${expected#*=}" ] ||
        fail "the uninstall entry's ${expected%%=*} is \"$(reg_value "$uninstall_key" "${expected%%=*}")\", expected \"${expected#*=}\""
    done
    # Installed again over itself, as a second deployment would: the question is answered Yes.
    expect_exit 0 KestrelSetup.exe /VERYSILENT "/DIR=$folder"
    expect_exit 0 "$folder\\uninstall.exe" /S /LOG=C:\\uninstall.log
    grep -qF "Removed: $folder\\Kestrel.exe" "$drive_c/uninstall.log" || fail "the uninstall log names no removed file"
    eventually '[ ! -e "$apps" ]' || fail "the install folder is still there: $(ls -A "$apps")"
    [ ! -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "the desktop shortcut is still there"
    [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the registry entry is still there"
    # Usage errors and a damaged installer: exit code 1, the reason in the log, nothing written.
    expect_exit 1 KestrelSetup.exe /S /DIR=relative\\path /LOG=C:\\usage.log
    grep -qF "is not a full path" "$drive_c/usage.log" || fail "the usage error is not in the log"
    expect_exit 1 KestrelSetup.exe /S /BOGUS
    head -c "$(( $(stat -c %s "$work/velmoran-stub.exe") + 120 ))" "$work/KestrelSetup.exe" > "$work/Damaged.exe"
    expect_exit 1 Damaged.exe /S /LOG=C:\\damaged.log "/D=$folder"
    grep -qF "(damaged installer?)" "$drive_c/damaged.log" || fail "the damage is not in the log: $(cat "$drive_c/damaged.log")"
    [ ! -e "$apps" ] || fail "a damaged installer wrote the install folder" ;;
  upgrade)
    # Version 1.0 ships c.txt, 2.0 ships d.txt instead; both installed silently.
    sed -i 's/^\[Shortcuts\]/Version=1.0\n\n[Shortcuts]/' "$work/sample/kestrel.ini"
    printf 'c' > "$work/sample/app/c.txt"
    build && mv "$work/KestrelSetup.exe" "$work/Kestrel1.exe"
    sed -i 's/^Version=1.0/Version=2.0/' "$work/sample/kestrel.ini"
    rm "$work/sample/app/c.txt"
    printf 'd' > "$work/sample/app/d.txt"
    build && mv "$work/KestrelSetup.exe" "$work/Kestrel2.exe"
    end_wine_session
    restore+=(end_wine_session)
    expect_exit 0 Kestrel1.exe /S
    [ -e "$app_dir/c.txt" ] || fail "version 1.0 did not install c.txt"
    expect_exit 0 Kestrel2.exe /S /LOG=C:\\upgrade.log
    [ ! -e "$app_dir/c.txt" ] || fail "c.txt, which 2.0 no longer ships, is still there"
    [ -e "$app_dir/d.txt" ] || fail "d.txt is not installed"
    check_installed_files
    [ "$(reg_value "$uninstall_key" DisplayVersion)" = 2.0 ] || fail "DisplayVersion is not 2.0"
    entries=$(wine_run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' | tr -d '\r' | grep -c 'Kestrel' || true)
    [ "$entries" = 1 ] || fail "$entries uninstall entries for Kestrel Notes"
    # 1.0 over 2.0 without a window: 1638, nothing changed.
    before=$(snapshot)
    expect_exit $((1638 % 256)) Kestrel1.exe /S
    [ "$(snapshot)" = "$before" ] || fail "the refused downgrade changed the prefix: $(diff <(echo "$before") <(snapshot))"
    [ "$(reg_value "$uninstall_key" DisplayVersion)" = 2.0 ] || fail "the refused downgrade changed DisplayVersion"
    expect_exit 0 "C:\\Program Files\\Kestrel Notes\\uninstall.exe" /S
    check_removed ;;
  every-script)
    # An application named in Cyrillic, Greek and Japanese, files in Greek and
    # Japanese, a shortcut with an accent and a character beyond U+FFFF, and
    # the common desktop and program menu in a profile with a non-ASCII name.
    name='Текст Ωμέγα メモ帳' shortcut='Café 😀' profile='C:\users\Jörg Ωμέγα'
    folder="C:\\Program Files\\$name" installed="$drive_c/Program Files/$name"
    sed -i "s/^Name=.*/Name=$name/; s/^MainShortcut=.*/MainShortcut=Редактор/; s/^Read Me=.*/$shortcut=Ελληνικά\\\\σοφός.txt/" \
      "$work/sample/kestrel.ini"
    sed -i "s/^TargetFolder=.*/TargetFolder=%ProgramFiles%\\\\$name/" "$work/sample/kestrel.ini"
    mkdir -p "$work/sample/app/Ελληνικά" "$work/sample/app/日本語"
    printf 'greek' > "$work/sample/app/Ελληνικά/σοφός.txt"
    printf 'japanese' > "$work/sample/app/日本語/表.txt"
    build
    mkdir -p "$(unix_path "$profile")/Desktop" "$(unix_path "$profile")/Programs"
    restore+=("rm -rf '$(unix_path "$profile")' '$installed'")
    restore+=("wine_run reg add '$shell_folders' /v 'Common Desktop' /t REG_SZ /d '$desktop' /f >/dev/null")
    restore+=("wine_run reg add '$shell_folders' /v 'Common Programs' /t REG_SZ /d '$programs' /f >/dev/null")
    # Non-ASCII values go in through a registry file (UTF-16), not a command line.
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"Common Desktop"="%s"\r\n"Common Programs"="%s"\r\n' \
      'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
      "${profile//\\/\\\\}\\\\Desktop" "${profile//\\/\\\\}\\\\Programs" |
      iconv -f UTF-8 -t UTF-16 > "$work/folders.reg"
    wine_run regedit /S folders.reg
    # The wizard shows the name as it is.
    printf '%s\n' 'start KestrelSetup.exe' 'page tabIntro' "text labTitle $name" 'shot every-script' \
      'click btnShowLicense' 'page tabLicense' 'close-window' 'wait-exit' > "$work/title.gui"
    wine_run gui_driver.exe title.gui
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S
    for file in Kestrel.exe Ελληνικά/σοφός.txt 日本語/表.txt; do
      cmp -s "$work/sample/app/$file" "$installed/$file" || fail "$file is not installed under its name"
    done
    group="$profile\\Programs\\$name"
    printf '%s\n' "shortcut $profile\\Desktop\\Редактор.lnk | $folder\\Kestrel.exe | Редактор | $folder\\" \
      "shortcut $group\\$shortcut.lnk | $folder\\Ελληνικά\\σοφός.txt | $shortcut | $folder\\Ελληνικά\\" > "$work/shortcuts.gui"
    wine_run gui_driver.exe shortcuts.gui
    uninstall_entries() {
      wine_run regedit /E "$work/entries.reg" 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'
      iconv -f UTF-16 -t UTF-8 "$work/entries.reg" | tr -d '\r'
    }
    uninstall_entries | grep -qxF "\"DisplayName\"=\"$name\"" || fail "DisplayName does not read back: $(uninstall_entries)"
    printf '%s\n' "exit-code 0 | $folder\\uninstall.exe | /S" > "$work/uninstall.gui"
    wine_run gui_driver.exe uninstall.gui
    eventually '[ ! -e "$installed" ]' || fail "the install folder is still there: $(ls -A "$installed")"
    [ ! -e "$(unix_path "$profile")/Desktop/Редактор.lnk" ] || fail "the desktop shortcut is still there"
    [ ! -e "$(unix_path "$group")" ] || fail "the program group is still there"
    ! uninstall_entries | grep -qF "$name" || fail "the uninstall entry is still there" ;;
  legacy-western)
    # An installer of the code page 1252 days: no Charset line, "Café" in 1252.
    sed -i "s/^Name=.*/Name=Café Notes/; s/^TargetFolder=.*/TargetFolder=%ProgramFiles%\\\\Café Notes/" "$work/sample/kestrel.ini"
    build
    perl -0777 -pi -e 's/Charset=UTF-8\r\n//; s/Caf\xC3\xA9/Caf\xE9/g' "$work/KestrelSetup.exe"
    installed="$drive_c/Program Files/Café Notes"
    restore+=("rm -rf '$installed' '$(unix_path "$programs")/Café Notes'")
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S
    cmp -s "$work/sample/app/Kestrel.exe" "$installed/Kestrel.exe" || fail "not installed under the name Café Notes: $(ls "$drive_c/Program Files")"
    printf '%s\n' 'exit-code 0 | C:\Program Files\Café Notes\uninstall.exe | /S' > "$work/uninstall.gui"
    wine_run gui_driver.exe uninstall.gui
    eventually '[ ! -e "$installed" ]' || fail "the install folder is still there: $(ls -A "$installed")" ;;
  files-in-use)
    # A program holds readme.txt (no delete sharing) during a silent reinstall:
    # the new one waits beside it for the next start of Windows, exit code 3010.
    build
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S
    session_key='HKLM\System\CurrentControlSet\Control\Session Manager'
    restore+=("wine_run reg delete '$session_key' /v PendingFileRenameOperations /f >/dev/null 2>&1")
    wine_run file_holder.exe 'C:\Program Files\Kestrel Notes\readme.txt' 'C:\held.txt' 'C:\release.txt' &
    holder=$!
    restore+=("touch '$drive_c/release.txt'; wait $holder; rm -f '$drive_c/held.txt' '$drive_c/release.txt'")
    eventually '[ -e "$drive_c/held.txt" ]' || fail "the helper did not take hold of readme.txt"
    RUNNER=wine_run expect_exit $((3010 % 256)) KestrelSetup.exe /S /LOG=C:\\held.log
    grep -qF "In use, replaced when Windows next starts: C:\Program Files\Kestrel Notes\readme.txt" "$drive_c/held.log" ||
      fail "the log does not name the file in use: $(cat "$drive_c/held.log")"
    cmp -s "$work/sample/app/readme.txt" "$app_dir/readme.txt.~new" || fail "the new readme.txt does not wait beside the old one"
    pending=$(wine_run reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
    grep -qiF 'Kestrel Notes\readme.txt.~new' <<<"$pending" || fail "no pending rename: $pending"
    # In a folder every user may change, nothing waits for a restart (Windows
    # would follow a junction planted there by then): the held file stays.
    touch "$drive_c/release.txt"; wait $holder || true; rm -f "$drive_c/held.txt" "$drive_c/release.txt"
    wine_run reg delete "$session_key" /v PendingFileRenameOperations /f >/dev/null 2>&1 || true
    open_dir="$drive_c/Apps/Kestrel Notes"
    mkdir -p "$open_dir" && chmod 777 "$open_dir"  # Wine reads o+w as Everyone's right to write
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S '/DIR=C:\Apps\Kestrel Notes'
    wine_run file_holder.exe 'C:\Apps\Kestrel Notes\readme.txt' 'C:\held.txt' 'C:\release.txt' &
    holder=$!
    restore+=("touch '$drive_c/release.txt'; wait $holder; rm -f '$drive_c/held.txt' '$drive_c/release.txt'")
    eventually '[ -e "$drive_c/held.txt" ]' || fail "the helper did not take hold of the open folder's readme.txt"
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S /LOG=C:\\open.log '/DIR=C:\Apps\Kestrel Notes'
    grep -qF 'Other users of this computer may change the folder' "$drive_c/open.log" ||
      fail "the log does not say others may change the folder: $(cat "$drive_c/open.log")"
    grep -qF 'In use, left as it was (others may change its folder): C:\Apps\Kestrel Notes\readme.txt' "$drive_c/open.log" ||
      fail "the log does not name the file left: $(cat "$drive_c/open.log")"
    [ ! -e "$open_dir/readme.txt.~new" ] || fail "a replacement waits in a folder others may change"
    pending=$(wine_run reg query "$session_key" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' || true)
    ! grep -qiF 'Apps' <<<"$pending" || fail "a restart operation in a folder others may change: $pending" ;;
  per-user)
    # Scope=user: an asInvoker manifest, the user's program folder, the entry
    # under HKEY_CURRENT_USER, nothing of the machine's.
    sed -i 's/^\[Shortcuts\]/Scope=user\n\n[Shortcuts]/' "$work/sample/kestrel.ini"
    build
    probe=$(wine_run resource_probe.exe KestrelSetup.exe | tr -d '\r')
    grep -qxF 'manifest: asInvoker' <<<"$probe" || fail "the per-user installer's manifest: $probe"
    local_appdata=$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' 'Local AppData')
    [ -n "$local_appdata" ] || fail "the prefix names no Local AppData folder"
    user_dir="$(unix_path "$local_appdata")/Programs/Kestrel Notes"
    user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel Notes'
    restore+=("rm -rf '$user_dir'; wine_run reg delete '$user_key' /f >/dev/null 2>&1")
    RUNNER=wine_run expect_exit 0 KestrelSetup.exe /S
    [ -e "$user_dir/Kestrel.exe" ] || fail "not installed under the user's program folder ($user_dir)"
    [ "$(reg_value "$user_key" DisplayName)" = "Kestrel Notes" ] || fail "no uninstall entry under HKEY_CURRENT_USER"
    [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "an uninstall entry under HKEY_LOCAL_MACHINE"
    [ ! -e "$app_dir" ] || fail "the per-user installer wrote under Program Files"
    RUNNER=wine_run expect_exit 0 "$local_appdata\\Programs\\Kestrel Notes\\uninstall.exe" /S
    eventually '[ ! -e "$user_dir" ]' || fail "the per-user installation is still there: $(ls -A "$user_dir")"
    [ -z "$(reg_value "$user_key" DisplayName)" ] || fail "the per-user entry is still there" ;;
  unattended-silent)
    # /SILENT: only the progress page, no question (the folder exists), closed at the end.
    build
    mkdir -p "$app_dir"
    printf '%s\n' "exit-code 0 | KestrelSetup.exe | /SILENT /NOICONS /LOG=C:\\silent.log" > "$work/silent.gui"
    wine_run gui_driver.exe silent.gui || fail "the /SILENT installation failed: $(cat "$drive_c/silent.log")"
    check_installed_files
    [ ! -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "/NOICONS made a desktop shortcut"
    [ ! -e "$(unix_path "$programs")/Kestrel Notes" ] || fail "/NOICONS made a program group"
    printf '%s\n' "exit-code 0 | C:\Program Files\Kestrel Notes\uninstall.exe | /SILENT" > "$work/silent.gui"
    wine_run gui_driver.exe silent.gui
    check_removed ;;
  identity)
    # The installer as Explorer reads it: manifest, icon and version.
    cp "$source/src/app/installer.ico" "$work/sample/setup.ico"
    sed -i 's/^\[Shortcuts\]/SetupIcon=setup.ico\nVersion=2.4.1\nPublisher=Kestrel Software\nCopyright=(c) 2026 Kestrel Software\n\n[Shortcuts]/' \
      "$work/sample/kestrel.ini"
    build
    probe=$(wine_run resource_probe.exe KestrelSetup.exe | tr -d '\r')
    for expected in 'manifest: requireAdministrator' 'icons: 1' 'version: 2.4.1.0' 'ProductName=Kestrel Notes' \
                    'FileDescription=Kestrel Notes Setup' 'FileVersion=2.4.1' 'CompanyName=Kestrel Software' \
                    'LegalCopyright=(c) 2026 Kestrel Software'; do
      grep -qxF "$expected" <<<"$probe" || fail "the installer does not read back \"$expected\": $probe"
    done
    # The copy the installation leaves carries the same identity.
    drive lifecycle.gui
    # Apps & features shows it too.
    folder='C:\Program Files\Kestrel Notes'
    for expected in "DisplayVersion=2.4.1" "Publisher=Kestrel Software" "DisplayIcon=$folder\Kestrel.exe,0" \
                    "InstallLocation=$folder"'\' "NoModify=0x1" "NoRepair=0x1" "VersionMajor=0x2" "VersionMinor=0x4"; do
      [ "$(reg_value "$uninstall_key" "${expected%%=*}")" = "${expected#*=}" ] ||
        fail "the uninstall entry's ${expected%%=*} is \"$(reg_value "$uninstall_key" "${expected%%=*}")\", expected \"${expected#*=}\""
    done
    grep -qxF 'ProductName=Kestrel Notes' <<<"$(wine_run resource_probe.exe "$app_dir/uninstall.exe" | tr -d '\r')" ||
      fail "the uninstaller lost its identity"
    drive lifecycle.uninstall
    check_removed ;;
  signed|signed-scrambled|signed-scrambled-lzma)
    # Signed after building, as a publisher does, with a throw-away certificate.
    case "$scenario" in
      signed) build ;;
      signed-scrambled) build --scramble ;;
      *) build --scramble --compression lzma ;;
    esac
    openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Velmoran Test" -days 2 \
      -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
    osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Kestrel Notes" \
      -in "$work/KestrelSetup.exe" -out "$work/signed.exe" >/dev/null
    mv "$work/signed.exe" "$work/KestrelSetup.exe"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/KestrelSetup.exe" >/dev/null 2>&1 ||
      fail "osslsigncode does not verify the signed installer"
    wine_run velmoran.exe verify KestrelSetup.exe | tr -d '\r' | grep -q ', signed$' || fail "verify does not see the signature"
    # An attacker's plain installer put inside the certificate table, which the
    # signature's hash leaves out: the signature still holds, and nothing reads it.
    cp -r "$work/sample" "$work/attacker"
    printf 'the attacker was here' > "$work/attacker/app/readme.txt"
    wine_run velmoran.exe build attacker/kestrel.ini -o attacker.exe --stub velmoran-stub.exe
    inject_into_certificate_table "$work/KestrelSetup.exe" "$work/attacker.exe"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/KestrelSetup.exe" >/dev/null 2>&1 ||
      fail "the signature no longer verifies after the injection"
    wine_run velmoran.exe verify KestrelSetup.exe | tr -d '\r' | grep -q ', signed$' || fail "verify follows the injected payload"
    wine_run velmoran.exe list KestrelSetup.exe | tr -d '\r' | grep -q "^  *$(stat -c %s "$work/sample/app/readme.txt")  readme.txt$" ||
      fail "list shows the injected file table"
    drive lifecycle.gui
    check_installed_files
    # The uninstaller copy is a well-formed unsigned program, not a broken signature.
    ! osslsigncode extract-signature -in "$app_dir/uninstall.exe" -out "$work/none.sig" >/dev/null 2>&1 ||
      fail "the uninstaller copy still points at a signature"
    drive lifecycle.uninstall
    check_removed ;;
  trailing-dot)
    build
    drive "$scenario.gui"
    [ "$(sed -n 1p "$app_dir/Kestrel Notes.ilg" | tr -d '\r')" = 'C:\Program Files\Kestrel Notes.\Kestrel.exe' ] ||
      fail "the log does not keep the typed folder name"
    # The shortcuts keep the typed spelling too; the uninstall is what is checked here.
    DRIVE_EDIT='/^shortcut /d' drive lifecycle.uninstall
    check_removed ;;
  short-path)
    # The uninstaller started through its 8.3 name, or a "\\?\" path, still
    # knows its own lines.
    build
    for start in start-short start-device; do
      drive lifecycle.gui
      DRIVE_EDIT="s/^start C:/$start C:/" drive lifecycle.uninstall
      check_removed
    done ;;
  registrations)
    # File types, a link protocol, PATH, a variable, App Paths and registry
    # values: registered silently and through the wizard (whose desktop
    # shortcut check box is unticked), used as Windows uses them, and undone so
    # that the registry reads back as it was before.
    cat >> "$work/sample/kestrel.ini" <<'INI'

[FileTypes]
.knote=Kestrel note
.kbook=Kestrel notebook|docs\book.ico

[LinkProtocols]
kestrel=Kestrel Notes link

[Environment]
Path=bin
KESTREL_HOME=%InstallFolder%

[AppPaths]
kestrel.exe=Kestrel.exe

[Registry]
Software\Kestrel\Notes\DataFolder=%InstallFolder%\data
Software\Kestrel\Notes\FirstRun=dword:1
INI
    sed -i 's/^\[Shortcuts\]/DesktopShortcut=ask\n\n[Shortcuts]/' "$work/sample/kestrel.ini"
    mkdir -p "$work/sample/app/bin"
    cp "$bin/marker_writer.exe" "$work/sample/app/bin/kestrel.exe"
    cp "$source/src/app/installer.ico" "$work/sample/app/docs/book.ico"
    build
    folder='C:\Program Files\Kestrel Notes'
    classes='HKLM\Software\Classes' app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'
    environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
    default_value() { wine_run reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*[[:space:]]*//p'; }
    # Each key as reg exports it (UTF-16), before and after.
    watched=("$classes\\.knote" "$classes\\.kbook" "$classes\\kestrel" "$app_paths" "$environment"
             'HKLM\Software\RegisteredApplications')
    export_watched() {
      local i=0
      for key in "${watched[@]}"; do
        wine_run reg export "$key" "C:\\$1-$i.reg" /y >/dev/null 2>&1 || printf 'absent' > "$drive_c/$1-$i.reg"
        i=$((i + 1))
      done
    }
    path_before=$(reg_value "$environment" PATH)
    restore+=("rm -f '$drive_c'/before-*.reg '$drive_c'/after-*.reg"
              "wine_run reg add '$environment' /v PATH /t REG_EXPAND_SZ /d '$path_before' /f >/dev/null 2>&1"
              "wine_run reg delete '$environment' /v KESTREL_HOME /f >/dev/null 2>&1"
              "for key in '$classes\\.knote' '$classes\\.kbook' '$classes\\kestrel' '$classes\\Velmoran.KestrelNotes.knote' \
                 '$classes\\Velmoran.KestrelNotes.kbook' '$classes\\Velmoran.KestrelNotes.url-kestrel' \
                 '$app_paths\\kestrel.exe' 'HKLM\\Software\\Kestrel' 'HKLM\\Software\\Velmoran'; do
                 wine_run reg delete \"\$key\" /f >/dev/null 2>&1; done"
              "wine_run reg delete 'HKLM\\Software\\RegisteredApplications' /v Velmoran.KestrelNotes /f >/dev/null 2>&1")
    export_watched before
    check_registered() {
      [ "$(default_value "$classes\\.knote")" = Velmoran.KestrelNotes.knote ] || fail ".knote names no ProgID: $(default_value "$classes\\.knote")"
      [ "$(default_value "$classes\\Velmoran.KestrelNotes.knote\\shell\\open\\command")" = "\"$folder\\Kestrel.exe\" \"%1\"" ] ||
        fail "the .knote open command is $(default_value "$classes\\Velmoran.KestrelNotes.knote\\shell\\open\\command")"
      [ "$(default_value "$classes\\Velmoran.KestrelNotes.kbook\\DefaultIcon")" = "$folder\\docs\\book.ico,0" ] ||
        fail "the .kbook icon is $(default_value "$classes\\Velmoran.KestrelNotes.kbook\\DefaultIcon")"
      wine_run reg query "$classes\\kestrel" /v "URL Protocol" >/dev/null 2>&1 || fail "kestrel: is no URL protocol"
      [ "$(reg_value "$environment" PATH)" = "$path_before;$folder\\bin" ] || fail "PATH is $(reg_value "$environment" PATH)"
      [ "$(reg_value "$environment" KESTREL_HOME)" = "$folder" ] || fail "KESTREL_HOME is $(reg_value "$environment" KESTREL_HOME)"
      [ "$(default_value "$app_paths\\kestrel.exe")" = "$folder\\Kestrel.exe" ] || fail "no App Paths entry"
      [ "$(reg_value 'HKLM\Software\Kestrel\Notes' FirstRun)" = 0x1 ] || fail "FirstRun is $(reg_value 'HKLM\Software\Kestrel\Notes' FirstRun)"
      [ "$(reg_value 'HKLM\Software\Kestrel\Notes' DataFolder)" = "$folder\\data" ] || fail "DataFolder is not registered"
      [ -e "$app_dir/Kestrel Notes.rlg" ] || fail "no registration log"
      # A new process finds the command-line program through PATH.
      wine_run cmd /c kestrel.exe 'C:\found-on-path.txt' >/dev/null 2>&1 || true
      eventually '[ -e "$drive_c/found-on-path.txt" ]' || fail "kestrel.exe is not found through PATH"
      rm -f "$drive_c/found-on-path.txt"
      # A note opened as Explorer opens it starts the main program with the note.
      printf 'note' > "$drive_c/note.knote"
      find "$drive_c/users" -name kestrel-started.txt -delete
      wine_run start /unix "$drive_c/note.knote" >/dev/null 2>&1 || true
      eventually '[ -n "$(find "$drive_c/users" -name kestrel-started.txt)" ]' || fail "opening a .knote started no program"
      grep -qiF 'note.knote' "$(find "$drive_c/users" -name kestrel-started.txt | head -1)" ||
        fail "the program was not given the note: $(cat "$(find "$drive_c/users" -name kestrel-started.txt | head -1)")"
      rm -f "$drive_c/note.knote"
    }
    check_unregistered() {
      export_watched after
      for i in "${!watched[@]}"; do
        cmp -s "$drive_c/before-$i.reg" "$drive_c/after-$i.reg" ||
          fail "${watched[$i]} is not as it was: $(diff <(iconv -f UTF-16 -t UTF-8 "$drive_c/before-$i.reg" 2>/dev/null) \
                                                     <(iconv -f UTF-16 -t UTF-8 "$drive_c/after-$i.reg" 2>/dev/null))"
      done
      for key in 'HKLM\Software\Kestrel' 'HKLM\Software\Velmoran' "$classes\\Velmoran.KestrelNotes.knote"; do
        ! wine_run reg query "$key" >/dev/null 2>&1 || fail "$key is still there"
      done
    }
    end_wine_session
    restore+=(end_wine_session)
    expect_exit 0 KestrelSetup.exe /S /LOG=C:\\registrations.log
    grep -qF "Registry: HKLM\\Software\\Classes\\.knote" "$drive_c/registrations.log" ||
      fail "the setup log names no registration: $(cat "$drive_c/registrations.log")"
    [ -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "the silent run made no desktop shortcut (the box is ticked)"
    check_registered
    expect_exit 0 "$folder\\uninstall.exe" /S
    check_removed
    check_unregistered
    end_wine_session  # the headless session has no desktop for the wizard
    drive "$scenario.gui"
    [ ! -e "$(unix_path "$desktop")/Kestrel Notes.lnk" ] || fail "a desktop shortcut though the box was unticked"
    check_registered
    expect_exit 0 "$folder\\uninstall.exe" /S
    check_removed
    check_unregistered ;;
  high-dpi)
    # The prefix at 150% (144 DPI): the wizard lays itself out at 1.5 times the
    # 96-DPI layout; its screenshots are kept.
    build
    desktop_key='HKCU\Control Panel\Desktop'
    end_wine_session
    wine_run reg add "$desktop_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
    restore+=("wine_run reg delete '$desktop_key' /v LogPixels /f >/dev/null 2>&1; end_wine_session")
    end_wine_session
    drive "$scenario.gui" ;;
  keyboard)
    # The whole life cycle by keyboard, and every page button named by its tool-tip.
    build
    drive keyboard.gui
    check_installed
    drive keyboard.uninstall
    check_removed ;;
  leftover)
    build
    drive leftover.gui
    printf 'mine' > "$app_dir/notes.txt"
    drive leftover.uninstall
    sleep 2
    [ "$(cat "$app_dir/notes.txt")" = mine ] || fail "the user's file did not survive"
    [ ! -e "$app_dir/uninstall.exe" ] || fail "the uninstaller is still there" ;;
  existing-folder)
    build
    mkdir -p "$app_dir"
    printf 'old' > "$app_dir/old.txt"
    drive "$scenario.gui"
    [ "$(cat "$app_dir/old.txt")" = old ] || fail "an existing file was touched"
    [ -e "$app_dir/readme.txt" ] || fail "the installation did not go on after Yes" ;;
  no-default-folder)
    sed -i 's/^TargetFolder=.*/TargetFolder=%ProgramFiles%\\Vendor Missing\\Kestrel Notes/' "$work/sample/kestrel.ini"
    build
    drive "$scenario.gui" ;;
  nested-folder)
    build
    drive "$scenario.gui"
    cmp -s "$work/sample/app/readme.txt" "$drive_c/Vendor/Kestrel/readme.txt" || fail "nothing installed in C:\\Vendor\\Kestrel" ;;
  corrupt-item)
    build
    size=$(stat -c %s "$work/KestrelSetup.exe")
    printf '\377\377\377\377' | dd of="$work/KestrelSetup.exe" bs=1 seek=$((size - 40)) conv=notrunc status=none
    drive "$scenario.gui"
    [ ! -e "$app_dir/Kestrel Notes.ilg" ] || fail "a log was written"
    [ ! -e "$app_dir/uninstall.exe" ] || fail "an uninstaller was written"
    [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "a registry entry was written" ;;
  exit-during-run)
    head -c 48000000 /dev/urandom > "$work/sample/app/big.bin"
    build --level 1
    drive "$scenario.gui"
    [ -e "$app_dir/Kestrel Notes.ilg" ] || fail "the run did not go on to its end" ;;
  *)
    build
    drive "$scenario.gui" ;;
esac

mkdir -p "$shots"
for picture in "$work"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "$shots/$scenario-$(basename "$picture" .bmp).png"
done
