#!/usr/bin/env bash
# Lays out the folder that ships (cmake --install) and reads the import table
# of every program and DLL in it: each imported DLL must be in the folder or
# be one that every Windows 10 has. Fails naming what is missing.
#   check-folder.sh BUILD FOLDER
set -euo pipefail
build=$1 folder=$2
# shellcheck source=/dev/null
source "$build/wine/config.sh"

rm -rf "$folder"
cmake --install "$build" --prefix "$folder" --strip >/dev/null

# What Windows 10 itself carries (every edition, N included: no Media Foundation).
declare -A system
for dll in advapi32 bcrypt cfgmgr32 comctl32 comdlg32 crypt32 d3d9 d3d11 dcomp dnsapi dwmapi dxgi gdi32 imm32 \
  iphlpapi kernel32 mpr msvcrt netapi32 ntdll ole32 oleacc oleaut32 quartz rpcrt4 secur32 setupapi shell32 \
  shlwapi user32 userenv uxtheme version winmm winspool ws2_32 wtsapi32; do
  system[$dll.dll]=1
done

declare -A present
while IFS= read -r f; do
  present[$(basename "${f,,}")]=1
done < <(find "$folder" -type f -iname '*.dll')

missing=0 checked=0
while IFS= read -r binary; do
  checked=$((checked + 1))
  while IFS= read -r dll; do
    name=${dll,,}
    [ -n "${present[$name]:-}${system[$name]:-}" ] && continue
    case $name in api-ms-win-*) continue ;; esac
    echo "MISSING: ${binary#"$folder"/} imports $dll, which is neither in the folder nor part of Windows"
    missing=$((missing + 1))
  done < <("$OBJDUMP" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)

for needed in vidorra.exe vidorra-sim.exe vidorra-ctl.exe vidorra-ctl-sim.exe vidorra-watch.exe platforms/qwindows.dll \
  styles/qwindowsvistastyle.dll mediaservice/dsengine.dll; do
  [ -f "$folder/$needed" ] || { echo "MISSING: $needed"; missing=$((missing + 1)); }
done
echo "$checked programs and DLLs checked, $missing missing"
[ "$missing" = 0 ]
