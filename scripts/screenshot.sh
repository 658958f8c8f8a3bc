#!/usr/bin/env bash
# Takes docs/guide/editor.png, the user guide's (and README's) picture of the editor holding a real
# grid, run headless under Xvfb.
# It works on a private copy of the built programs, so the configuration it writes beside the
# editor never touches the build's own.  Usage: scripts/screenshot.sh [build-dir]  (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${TESSARA_SCREENSHOT_INNER:-}" ]; then
  export TESSARA_SCREENSHOT_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x820x24" "$0" "$@"
fi

BUILD_DIR=${1:-${BUILD_DIR:-build}}
OUTPUT=$PWD/docs/guide/editor.png
WORK=$(mktemp -d)
trap 'kill "${EDITOR_PID:-}" 2>/dev/null || true; rm -rf "$WORK"' EXIT

mkdir -p "$WORK/app/Config" "$WORK/images" "$(dirname "$OUTPUT")"
cp -r "$BUILD_DIR/bin/Tessara" "$BUILD_DIR/bin/tesscli" "$BUILD_DIR/bin/ImConfig" "$WORK/app/"

# Six tiles for a 2 x 3 grid and two spare ones for the tray.
COLOURS=("#1e6fd9:#a3d5ff" "#d9531e:#ffd3a3" "#2e9e44:#c8f5b0" "#8e3fc4:#e7c6ff" "#c4a23f:#fff3b0" "#3fa7c4:#c6f4ff"
         "#666666:#dddddd" "#b03060:#ffc0d0")
i=0
for pair in "${COLOURS[@]}"; do
  i=$((i + 1))
  convert -size 320x240 "gradient:${pair%%:*}-${pair##*:}" -fill "rgba(255,255,255,0.55)" \
    -draw "circle 160,120 160,$((40 + 8 * i))" "$WORK/images/tile$i.png"
done

file() { printf '<File>%s</File>' "$WORK/images/tile$1.png"; }
cat > "$WORK/mosaic.tsp" <<XML
<Project type="TessaraProject" version="1">
    <Rows>
        <Row>$(file 1)$(file 2)$(file 3)</Row>
        <Row>$(file 4)$(file 5)$(file 6)</Row>
    </Rows>
    <Tray>$(file 7)$(file 8)</Tray>
    <Settings>
        <Overlap>4</Overlap>
        <Background>#203040</Background>
    </Settings>
</Project>
XML

cat > "$WORK/app/Config/Tessara.cfg" <<XML
<Options>
    <RecentFiles>
        <File0>$WORK/mosaic.tsp</File0>
    </RecentFiles>
    <Windows>
        <MainWindow>
            <Maximized>false</Maximized>
            <Position><x>0</x><y>0</y></Position>
            <Size><Height>780</Height><Width>1240</Width></Size>
        </MainWindow>
    </Windows>
</Options>
XML

"$WORK/app/Tessara" &
EDITOR_PID=$!
WINDOW=$(xdotool search --sync --onlyvisible --name "Tessara V" | head -n 1)
sleep 1
# Open the most recent project with its keyboard shortcut, as a user would.
xdotool windowfocus --sync "$WINDOW" key ctrl+1
sleep 3
# A palette of 256 colours keeps the picture small in the repository and the package.
import -window "$WINDOW" -strip +dither -colors 256 "PNG8:$OUTPUT"
echo "Saved $OUTPUT"
