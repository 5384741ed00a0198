# Sourced by the build-mingw-*.sh scripts, which build static libraries for
# MinGW-w64 from Debian's source packages and cache them under $DEPS.
#   skip_if_cached PREFIX FILE...     ends the script when every FILE is in PREFIX
#   fetch_debian_source PACKAGE DIR   unpacks Debian's source package PACKAGE
#                                     into DIR and prints the source folder.
#   prepare_source PACKAGE            unpacks it into $work, a temporary folder
#                                     removed when the script ends; $src names it

DEPS="${VELMORAN_DEPS:-/var/cache/velmoran-deps}"

skip_if_cached() {
  local prefix="$1" file; shift
  for file in "$@"; do [ -f "$prefix/$file" ] || return 0; done
  exit 0
}
# A private apt configuration whose source list mirrors the machine's own
# 'deb' entries as 'deb-src', so the system's apt setup is left untouched.

fetch_debian_source() {
  local package="$1" into="$2" srclist sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  srclist="$into/.apt"
  mkdir -p "$srclist/lists/partial" "$srclist/sources.list.d"
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] && grep -E '^\s*deb\s' "$f" | sed -E 's/^\s*deb\s/deb-src /' || true
    done
  } > "$srclist/sources.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$srclist/sources.list.d/$(basename "$f")"
  done
  local apt_opts=(-o "Dir::Etc::SourceList=$srclist/sources.list"
                  -o "Dir::Etc::SourceParts=$srclist/sources.list.d"
                  -o "Dir::State::Lists=$srclist/lists"
                  -o "APT::Sandbox::User=root")
  echo "fetching Debian's $package source" >&2
  $sudo apt-get "${apt_opts[@]}" update -qq 2>/dev/null || $sudo apt-get "${apt_opts[@]}" update -qq >&2
  (cd "$into" && apt-get "${apt_opts[@]}" source -qq "$package" >/dev/null 2>&1) ||
    (cd "$into" && apt-get "${apt_opts[@]}" source -qq "$package" >&2)
  local src
  src=$(find "$into" -maxdepth 1 -mindepth 1 -type d -name "$package-*" | head -n 1)
  [ -n "$src" ] || { echo "$package source not unpacked" >&2; return 1; }
  echo "$src"
}

# The MinGW-w64 toolchain file the dependencies are configured with.
write_mingw_toolchain() {
  cat > "$1" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
}

prepare_source() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  src=$(fetch_debian_source "$1" "$work")
}
