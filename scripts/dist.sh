#!/usr/bin/env bash
# Builds everything and makes the folder a user copies to a Windows machine:
# build/Norpa/ with norpa.exe and vomla.exe alone (stripped; the toolbar
# starts the editor beside it). Then checks that nothing else belongs
# there: the folder holds the two programs only, and they load no DLL
# beyond those every 64-bit Windows (7 and later) has.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

source scripts/common.sh
norpa_build

folder="$build/Norpa"
rm -rf "$folder"
cmake --install "$build" --prefix "$folder" --strip >/dev/null

# The DLLs of Windows itself the programs may import. A new one belongs
# here only when every supported Windows has it; a runtime DLL of the
# compiler's (libstdc++, libwinpthread) never does: it is linked in.
windows_dlls=(advapi32 comctl32 comdlg32 gdi32 gdiplus iphlpapi kernel32 msimg32 msvcrt ole32 oleaut32 shell32
  shlwapi urlmon user32 version wininet ws2_32)

contents=$(cd "$folder" && ls -A | tr '\n' ' ')
if [ "$contents" != "norpa.exe vomla.exe " ]; then
  echo "dist.sh: $folder holds \"$contents\", not the two programs alone" >&2
  exit 1
fi
for program in norpa.exe vomla.exe; do
  imports=$(x86_64-w64-mingw32-objdump -p "$folder/$program" | awk '/DLL Name:/ { print tolower($3) }')
  for dll in $imports; do
    if [[ " ${windows_dlls[*]} " != *" ${dll%.dll} "* ]]; then
      echo "dist.sh: $program needs $dll, which Windows does not have: link it in" >&2
      exit 1
    fi
  done
done

echo "The programs, ready to copy to a Windows machine (64-bit, Windows 7 or later):"
echo "  $folder/  ($(du -sh "$folder" | cut -f1): norpa.exe, the capture toolbar; vomla.exe, the editor it starts)"
echo "Start norpa.exe there; keep vomla.exe beside it."
