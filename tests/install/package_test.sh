#!/usr/bin/env bash
# The .deb cpack makes: its control file depends on the package of every
# shared library easel links, and it holds exactly what cmake --install puts
# under /usr. Skipped where dpkg-deb is not installed.
# Usage: package_test.sh BUILD_DIR EASEL
set -euo pipefail
build=$1 easel=$2
command -v dpkg-deb >/dev/null 2>&1 || { echo "skipped: dpkg-deb is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"

# Each library as the loader finds it, then the package that installed that file.
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
for lib in $(readelf -d "$easel" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  # The loader itself is listed by its path.
  path=$(ldd "$easel" | awk -v lib="$lib" '$1 == lib {print $3} $1 ~ ("/" lib "$") {print $1}')
  [ -n "$path" ] || fail "the loader does not find $lib"
  real=$(realpath "$path")
  owner=$(dpkg -S "$real" 2>/dev/null || dpkg -S "${real#/usr}" 2>/dev/null || dpkg -S "$path" 2>/dev/null || true)
  package=$(echo "$owner" | head -1 | cut -d: -f1 | cut -d, -f1)
  [ -n "$package" ] || fail "no Debian package has $real ($lib)"
  grep -qxF "$package" <<<"$names" || fail "$lib ($package) is not in Depends: $depends"
done
# librsvg is opened, not linked, when SVG is drawn.
grep -qxF librsvg2-2 <<<"$names" || fail "librsvg2-2 is not in Depends: $depends"

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/root" && find . ! -type d | sort) >"$work/installed"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/packaged"
diff "$work/installed" "$work/packaged" || fail "the package's files differ from the install (< install, > .deb)"
echo "ok - $(basename "$deb"): $(wc -l <"$work/packaged") files, Depends names every library easel links"
