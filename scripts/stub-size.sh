#!/usr/bin/env bash
# Reports the stub's size and what each part of it takes, from the link map.
#   stub-size.sh STUB MAP
set -euo pipefail
stub="$1" map="$2"
printf 'stub: %s, %d bytes (%d KiB; target <= 400 KiB)\n' "$stub" "$(stat -c %s "$stub")" "$(( $(stat -c %s "$stub") / 1024 ))"
# Input sections of the map are lines " .section 0xADDRESS 0xSIZE file", or a
# section name alone with the address, size and file on the next line.
awk '
  /^Linker script and memory map/ { started = 1 }
  !started { next }
  function hex(text,   i, n) {
    text = tolower(text); sub(/^0x/, "", text); n = 0
    for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return n
  }
  function add(section, size, file,   part) {
    if (section ~ /^\.debug/) return
    if (file ~ /libvelmoran|\.obj$/) part = "own code"
    else if (file ~ /libstdc\+\+|libgcc|libsupc/) part = "C++ runtime"
    else if (file ~ /libz\.a/) part = "zlib"
    else if (file ~ /libjpeg/) part = "libjpeg"
    else if (file ~ /liblzma/) part = "liblzma"
    else if (file ~ /libmingw|libmsvcrt|libpthread|crt2|libkernel32|libuser32|libgdi32|libadvapi32/) part = "C runtime and import stubs"
    else part = "other"
    bytes[part] += size
  }
  /^ \.[^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add($1, hex($3), $4); pending = ""; next }
  /^ \.[^ ]+$/ { pending = $1; next }
  pending != "" && /^ +0x[0-9a-f]+ +0x[0-9a-f]+ / { add(pending, hex($2), $3); pending = ""; next }
  { pending = "" }
  END { for (part in bytes) printf "  %7d bytes  %s\n", bytes[part], part }
' "$map" | sort -n -r
