#!/usr/bin/env bash
# Checks the programs as users get them: installed with `cmake --install` into a scratch prefix and
# run from there (tesscli with its shipped limits, the editor headless under Xvfb combining a project
# it was started with, its options in the XDG folders), the desktop files, manual pages and bash
# completion validated, and the .deb built, inspected, linted and unpacked into a scratch root.
# Usage: scripts/check-install.sh [build-dir]   (the build must exist; scripts/setup.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${TESSARA_CHECK_INNER:-}" ]; then
  export TESSARA_CHECK_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x820x24" "$0" "$@"
fi

# The editor must show its windows on the Xvfb display, whatever the caller's tests used.
unset QT_QPA_PLATFORM
BUILD_DIR=$(realpath "${1:-${BUILD_DIR:-build}}")
APP_ID=org.tessara_imaging.Tessara
WORK=$(mktemp -d)
trap 'kill "${EDITOR_PID:-}" 2>/dev/null || true; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

# Files every install holds, relative to the prefix.
EXPECTED=(bin/tesscli bin/Tessara share/tessara/ImConfig/policy.xml share/tessara/Help/index.html share/tessara/Help/editor.png
  share/man/man1/tesscli.1.gz share/man/man1/Tessara.1.gz
  share/bash-completion/completions/tesscli share/doc/tessara/copyright
  "share/applications/$APP_ID.desktop" "share/metainfo/$APP_ID.metainfo.xml"
  "share/mime/packages/$APP_ID.xml" "share/icons/hicolor/scalable/apps/$APP_ID.svg")
for size in 16 22 24 32 48 64 128 256; do EXPECTED+=("share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"); done

step "cmake --install into a scratch prefix"
PREFIX=$WORK/prefix
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
for f in "${EXPECTED[@]}"; do [ -e "$PREFIX/$f" ] || fail "install lacks $f"; done

step "tesscli from the prefix composes past the distribution's 16K-pixel policy"
# A tile 17000 pixels wide only loads with the shipped limits; with a second one the canvas is 18000
# wide. magick() runs ImageMagick's tools with those limits, to make and check the images.
magick() { MAGICK_CONFIGURE_PATH=$PREFIX/share/tessara/ImConfig "$@"; }
magick convert -size 17000x6 xc:'#1e6fd9' "$WORK/left.png"
convert -size 1000x6 xc:'#d9531e' "$WORK/right.png"
"$PREFIX/bin/tesscli" -row "$WORK/left.png" "$WORK/right.png" -out "$WORK/wide.png" > "$WORK/wide.log" ||
  { cat "$WORK/wide.log"; fail "installed tesscli did not compose"; }
grep -qxF "    Configuration directory: $PREFIX/share/tessara/ImConfig" "$WORK/wide.log" ||
  fail "installed tesscli did not take its configuration from the data folder"
[ "$(magick identify -format %wx%h "$WORK/wide.png")" = 18000x6 ] || fail "wrong canvas size"
# tesscli writes OpenSeadragon into every DeepZoom viewer page; its licence ships with the programs.
grep -q "^Files: third_party/openseadragon/" "$PREFIX/share/doc/tessara/copyright" || fail "OpenSeadragon's licence is not installed"
magick convert "$WORK/left.png" "$WORK/right.png" +append "$WORK/expected.png"
[ "$(magick compare -metric AE "$WORK/wide.png" "$WORK/expected.png" null: 2>&1)" = 0 ] ||
  fail "composed pixels differ from the tiles"
# Without the shipped limits the wide tile is refused, so the check above means something.
mkdir "$WORK/bare" && cp "$PREFIX/bin/tesscli" "$WORK/bare/"
if "$WORK/bare/tesscli" -row "$WORK/left.png" "$WORK/right.png" -out "$WORK/bare.png" >/dev/null; then
  fail "a tesscli without ImConfig read past the system policy; the check proves nothing"
fi

step "the installed editor opens a project given on its command line and combines it"
convert -size 40x30 xc:'#2e9e44' "$WORK/c1.png"
convert -size 40x30 xc:'#8e3fc4' "$WORK/c2.png"
cat > "$WORK/pair.tsp" <<XML
<Project type="TessaraProject" version="1">
    <Rows>
        <Row><File>$WORK/c1.png</File><File>$WORK/c2.png</File></Row>
    </Rows>
    <Tray/>
    <Settings/>
</Project>
XML
export XDG_CONFIG_HOME=$WORK/xdg-config XDG_CACHE_HOME=$WORK/xdg-cache
# A tesscli elsewhere on the search path must not be the one the installed editor runs.
PATH=/usr/bin:/bin "$PREFIX/bin/Tessara" "$WORK/pair.tsp" > "$WORK/editor.log" 2>&1 &
EDITOR_PID=$!
# The title names the open project: "pair.tsp - Tessara V2.0.0".
WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --name "^pair.tsp - Tessara V" | head -n 1 || true)
[ -n "$WINDOW" ] || fail "the editor window did not appear"
sleep 2
# Sends keys to the newest visible window whose title matches, looked up afresh at every try: Qt may
# replace a window's X id while it settles, and a stale id makes xdotool fail.
send_keys() { # TITLE-REGEX KEY...
  local try w
  for try in 1 2 3; do
    w=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | tail -n 1 || true)
    [ -n "$w" ] && xdotool windowfocus --sync "$w" key "${@:2}" 2>/dev/null && return 0
    sleep 1
  done
  return 1
}
send_keys "^pair.tsp - Tessara V" ctrl+b || fail "could not ask the editor to combine"
DIALOG=$(timeout 20 xdotool search --sync --onlyvisible --name "Save the compound image" | head -n 1 || true)
[ -n "$DIALOG" ] || fail "the save dialog did not appear"
sleep 1
xdotool windowfocus --sync "$DIALOG" type --delay 20 "$WORK/combined.png"
# The dialog may close on the key press, before the release reaches it; the file tells.
xdotool key --window "$DIALOG" Return 2>/dev/null || true
for _ in $(seq 60); do [ -s "$WORK/combined.png" ] && break; sleep 0.5; done
[ -s "$WORK/combined.png" ] || { cat "$WORK/editor.log"; fail "the editor did not combine the project"; }
sleep 2
# Confirm the saved-image box, then leave through File > Exit so the options are written.
BOX=$(xdotool search --onlyvisible --name "^Tessara$" | head -n 1 || true)
[ -n "$BOX" ] && { xdotool windowfocus --sync "$BOX" key Return 2>/dev/null || true; }
sleep 1
send_keys "^pair.tsp - Tessara V" alt+x || fail "could not ask the editor to exit"
for _ in $(seq 40); do kill -0 "$EDITOR_PID" 2>/dev/null || break; sleep 0.5; done
kill -0 "$EDITOR_PID" 2>/dev/null && fail "the editor did not exit"
wait "$EDITOR_PID" || fail "the editor exited with an error"
EDITOR_PID=
"$PREFIX/bin/tesscli" -project "$WORK/pair.tsp" -out "$WORK/direct.png" >/dev/null
[ "$(compare -metric AE "$WORK/combined.png" "$WORK/direct.png" null: 2>&1)" = 0 ] ||
  fail "the editor's image differs from tesscli's"
[ -f "$XDG_CONFIG_HOME/tessara/Tessara.cfg" ] || fail "the options did not go to XDG_CONFIG_HOME"
grep -qF "$WORK/pair.tsp" "$XDG_CONFIG_HOME/tessara/Tessara.cfg" || fail "the opened project is not among the recent ones"
[ -d "$XDG_CACHE_HOME/tessara" ] || fail "no working folder in XDG_CACHE_HOME"
[ ! -e "$PREFIX/bin/Config" ] && [ ! -e "$PREFIX/bin/Temp" ] || fail "the installed editor wrote beside its executable"
unset XDG_CONFIG_HOME XDG_CACHE_HOME

step "desktop entry, metainfo and manual pages validate"
desktop-file-validate "$PREFIX/share/applications/$APP_ID.desktop"
appstreamcli validate --no-net --explain "$PREFIX/share/metainfo/$APP_ID.metainfo.xml" >/dev/null ||
  appstreamcli validate --no-net "$PREFIX/share/metainfo/$APP_ID.metainfo.xml"
# The MIME definition compiles, and a .tsp file gets the project type that the desktop entry opens.
XDG_DATA_DIRS=$PREFIX/share update-mime-database "$PREFIX/share/mime" 2>&1 | tee "$WORK/mime.log"
[ ! -s "$WORK/mime.log" ] || fail "update-mime-database complained"
grep -q ':application/x-tessara-project:\*\.tsp$' "$PREFIX/share/mime/globs2" || fail "*.tsp is not a Tessara project"
for page in tesscli Tessara; do
  warnings=$(MANWIDTH=80 man --warnings -l "$PREFIX/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
# Every switch of the usage text has its own entry in the manual page.
for switch in $("$PREFIX/bin/tesscli" -help | sed -n 's/^\(-[a-z]*\).*:$/\1/p'); do
  MANWIDTH=80 man -l "$PREFIX/share/man/man1/tesscli.1.gz" 2>/dev/null | grep -E "^       $switch( |$)" >/dev/null ||
    fail "the manual page lacks $switch"
done

step "bash completion"
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tesscli; echo "${COMPREPLY[*]}"' \
    _ "$PREFIX/share/bash-completion/completions/tesscli" "$@"
}
check_completion() {
  local expected=$1; shift
  [ "$(cd "$WORK" && complete_words "$@")" = "$expected" ] || fail "completing '$*' gave '$(cd "$WORK" && complete_words "$@")'"
}
# Every switch of the usage text completes.
for switch in $("$PREFIX/bin/tesscli" -help | sed -n 's/^\(-[a-z]*\).*:$/\1/p'); do
  complete_words tesscli - | tr ' ' '\n' | grep -xF -- "$switch" >/dev/null || fail "completion lacks $switch"
done
check_completion "-row -regionsize" tesscli -r
check_completion "bottom-left bottom-right" tesscli -startpos b
check_completion "col-first col-snake" tesscli -out x.png -order c
check_completion "LZW" tesscli -compression L
check_completion "pair.tsp" tesscli -project pa
check_completion "prefix" tesscli -sourcedir pre
check_completion "c1.png" tesscli -row left.png c1
check_completion "" tesscli -overlap 5 c

step "Debian package"
(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/deb" >/dev/null)
DEB=$(ls "$WORK"/deb/tessara_*.deb)
dpkg-deb --contents "$DEB" | awk '{print $6}' | sed 's|^\./usr/||' > "$WORK/contents"
for f in "${EXPECTED[@]}"; do grep -qxF "$f" "$WORK/contents" || fail "package lacks usr/$f"; done
depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libmagick++-6 libqt6widgets6 libpugixml libpcre2-8; do
  [[ $depends == *$lib* ]] || fail "Depends lacks $lib: $depends"
done
lintian --tag-display-limit 0 --fail-on error "$DEB" || fail "lintian reports errors"
# apt resolves every dependency from the distribution (simulated: nothing is installed here).
apt-get install --simulate -qq "$DEB" >/dev/null || fail "apt cannot install the package"
# Install into and remove from a throw-away root; its dependencies are not there, so they are waived.
ROOT=$WORK/root
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates" "$ROOT/var/lib/dpkg/triggers"
touch "$ROOT/var/lib/dpkg/status"
dpkg --root="$ROOT" --force-depends -i "$DEB" >/dev/null 2>"$WORK/dpkg.log" ||
  { cat "$WORK/dpkg.log"; fail "dpkg could not install the package"; }
for f in "${EXPECTED[@]}"; do [ -e "$ROOT/usr/$f" ] || fail "installed root lacks /usr/$f"; done
MANWIDTH=80 man -l "$ROOT/usr/share/man/man1/tesscli.1.gz" | grep "^SYNOPSIS" >/dev/null || fail "the packaged page does not render"
dpkg --root="$ROOT" --force-depends --purge tessara >/dev/null 2>>"$WORK/dpkg.log" ||
  { cat "$WORK/dpkg.log"; fail "dpkg could not remove the package"; }
left=$(find "$ROOT" -path "$ROOT/var" -prune -o -type f -print)
[ -z "$left" ] || fail "files left after removal: $left"

echo "install checks passed"
