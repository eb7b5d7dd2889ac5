#!/usr/bin/env bash
# Installs easel into a temporary prefix and runs the installed program: it
# plays an installed example with the installed plug-ins, found without
# flags and never in the build tree; serves the studio's page; and has a
# manual page per command.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(realpath "$(mktemp -d)")
studio=""
trap '[ -n "$studio" ] && kill "$studio" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
unset EASEL_PLUGINS BROWSER

cmake --install "$build" --prefix "$work/usr" >/dev/null
easel="$work/usr/bin/easel"
examples="$work/usr/share/doc/easel/examples"

# An installed example script, played by the installed easel with no flags.
"$easel" play "$examples/rows-columns-apply.json" -o "$work/out.json" >/dev/null ||
  fail "the installed easel cannot play an installed example"
grep -q '"easel-document"' "$work/out.json" || fail "no document written"

# Where it looks: the prefix's plug-in folder, not the build tree.
printf '{"document": "%s", "plugins": ["Nowhere"], "steps": []}' "$examples/grid-shapes.json" >"$work/missing.json"
said=$("$easel" play "$work/missing.json" 2>&1 || true)
[[ $said == *"no Nowhere.aip in $work/usr/lib/easel/plugins"* ]] || fail "not searched in the prefix: $said"
[[ $said != *"$build"* ]] || fail "the installed easel searched the build tree: $said"

# The studio's page, served by the installed program (it is built into it).
XDG_STATE_HOME="$work/state" "$easel" studio --no-browser --port 0 "$examples/grid-shapes.json" \
  >"$work/studio.out" 2>"$work/studio.err" &
studio=$!
for _ in $(seq 1 600); do
  grep -q 'http://' "$work/studio.out" && break
  kill -0 "$studio" 2>/dev/null || fail "the studio ended: $(cat "$work/studio.err")"
  sleep 0.1
done
url=$(grep -o 'http://[^ ]*/' "$work/studio.out" | head -1)
[ -n "$url" ] || fail "the studio printed no address"
curl -sf "$url" -o "$work/index.html" || fail "no page at $url"
cmp -s "$work/index.html" "$source/easel/studio/web/index.html" || fail "the page served is not the studio's"
curl -sf "${url}api/picture.pdf" -o "$work/page.pdf" || fail "no PDF from the studio"
[ "$(head -c 5 "$work/page.pdf")" = "%PDF-" ] || fail "the studio's PDF is not a PDF"
kill "$studio"
wait "$studio" || fail "the studio did not end cleanly: $(cat "$work/studio.err")"
studio=""

# Without easel-studio beside it, easel says so and where it looked.
mkdir "$work/alone" && cp "$easel" "$work/alone/easel"
said=$("$work/alone/easel" studio --no-browser 2>&1) && fail "easel studio ran without easel-studio"
[[ $said == *"cannot start the studio, $work/alone/easel-studio"* ]] || fail "no clear error: $said"

# A manual page per command, made from its --help.
for page in easel easel-play easel-tools easel-dialog easel-convert easel-render easel-studio; do
  [ -s "$work/usr/share/man/man1/$page.1" ] || fail "no manual page $page.1"
done
grep -q 'no\\-browser' "$work/usr/share/man/man1/easel-studio.1" || fail "easel-studio.1 lacks --no-browser"
[ -f "$work/usr/share/doc/easel/README.md" ] || fail "no README in share/doc/easel"
echo "ok - installed easel plays, finds its plug-ins in $work/usr/lib/easel/plugins, serves its page"
