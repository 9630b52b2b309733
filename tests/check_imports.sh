#!/usr/bin/env bash
# The exe must need no DLL beside it: only Windows' own libraries.
set -euo pipefail
exe=$1
allowed='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|msimg32|uxtheme|advapi32|shell32|msvcrt|api-ms-win-crt-[a-z0-9-]+|ucrtbase|version|imm32|uuid|ntdll|ws2_32|bcrypt|shlwapi|comdlg32|winmm)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
[[ -n "$dlls" ]] || { echo "no imports found in $exe"; exit 1; }
bad=0
for d in $dlls; do
  if [[ ! $d =~ $allowed ]]; then echo "unexpected import: $d"; bad=1; fi
done
echo "imports: $(echo $dlls | tr '\n' ' ')"
exit $bad
