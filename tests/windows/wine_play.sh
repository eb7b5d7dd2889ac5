#!/usr/bin/env bash
# Plays every example script with the Linux easel and with the x86_64 Windows
# easel and plug-ins under wine64, and compares the documents byte for byte.
# Usage: wine_play.sh LINUX_EASEL LINUX_PLUGINS WINDOWS_BUILD EXAMPLES WORK
# Exits 77 (skipped) where wine or the cross compiler is missing.
set -uo pipefail
linux_easel=$1 linux_plugins=$2 windows_build=$3 examples=$4 work=$5
skip() { echo "SKIPPED: $*"; exit 77; }
command -v wine >/dev/null 2>&1 || skip "wine is not installed (scripts/setup installs wine64)"
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 ||
  skip "x86_64-w64-mingw32-g++-posix is not installed (scripts/setup installs mingw-w64)"
exe=$windows_build/easel/cli/easel.exe
if [ ! -f "$exe" ] || [ ! -f "$windows_build/plugins/Brivane.aip" ]; then
  echo "FAILED: $exe or its plug-ins are missing: run scripts/build-windows x86_64"
  exit 1
fi
mkdir -p "$work/linux" "$work/windows"
# A prefix of our own, headless, quiet; one wineserver serves every run.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
unset WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null' EXIT
failed=0 played=0
for script in "$examples"/*.json; do
  grep -q '"steps"' "$script" || continue
  name=$(basename "$script" .json)
  # Only Brivane and Kestova are built for Windows, not the test plug-in.
  if grep -q '"EaselTest"' "$script"; then
    echo "not played: $name (it loads the test plug-in EaselTest, which has no Windows build)"; continue
  fi
  rm -f "$work/linux/$name.json" "$work/windows/$name.json"
  if ! "$linux_easel" play "$script" --plugins "$linux_plugins" -o "$work/linux/$name.json" \
      >"$work/linux/$name.log" 2>&1; then
    echo "FAILED: $name: the Linux run failed (see $work/linux/$name.log)"; failed=1; continue
  fi
  if ! wine "$exe" play "$script" --plugins "$windows_build/plugins" -o "$work/windows/$name.json" \
      >"$work/windows/$name.log" 2>&1; then
    echo "FAILED: $name: the Windows run failed:"; tail -5 "$work/windows/$name.log"; failed=1; continue
  fi
  if cmp -s "$work/linux/$name.json" "$work/windows/$name.json"; then
    played=$((played + 1))
  else
    echo "FAILED: $name: documents differ: $(cmp "$work/linux/$name.json" "$work/windows/$name.json" | head -1)"
    failed=1
  fi
done
echo "$played scripts gave byte-identical documents on Linux and under wine"
[ "$played" -gt 0 ] || { echo "FAILED: no example script was played"; exit 1; }
exit $failed
