#!/usr/bin/env bash
# Writes a small seed corpus for every fuzz target into <dir>/<target>/ (default build-asan/fuzz-corpus).
set -euo pipefail
out=${1:-build-asan/fuzz-corpus}
mkdir -p "$out"/{fuzz_switches,fuzz_color,fuzz_cli_project,fuzz_sources,fuzz_tile_decoders,fuzz_editor_project}

# Switches: arguments separated by NUL bytes.
seed() { printf '%s\0' "${@:2}" | head -c -1 > "$1"; }
seed "$out/fuzz_switches/rows" -row a.png b.png -row c.png None -out o.png -overlap 4
seed "$out/fuzz_switches/sources" -sources 'img_r{row}_c{col}.*' -index 1 9 -grid 0 3 -order col-first -startpos bottom-right -out o.tif
seed "$out/fuzz_switches/options" -col a.png -out o.jpg -bgcolor 1 2 3 -transparent 255 0 255 -stack -compression JPEG -quality 80 -attribute Comment hi -extradata png compression-level 9
seed "$out/fuzz_switches/regions" -project p.tsp -regionsize 50 40 -sourcedir /tmp -help
seed "$out/fuzz_switches/convert" -convert in.png out.bmp

# Colours of project files.
for text in '#ff8000' 'ff8000' '#zz' '#12' '##a#b#c' ''; do
  printf '%s' "$text" > "$out/fuzz_color/$(printf '%s' "$text" | od -An -tx1 | tr -d ' \n')x"
done

# Projects, shared by both readers.
# $2 and $3 (rows and settings) may hold \n escapes.
project() {
  printf '<Project type="TessaraProject" version="1">\n    <Rows>\n%s\n    </Rows>\n    <Tray>\n        <File>t.png</File>\n    </Tray>\n    <Settings>\n%s\n    </Settings>\n</Project>\n' "$(printf "$2")" "$(printf "$3")" > "$out/fuzz_cli_project/$1"
  cp "$out/fuzz_cli_project/$1" "$out/fuzz_editor_project/$1"
}
row='        <Row>\n            <File>a.png</File>\n            <File>None</File>\n        </Row>'
project plain "$row" ''
project overlap "$row\n$row" '        <Overlap>10</Overlap>\n        <Background>#102030</Background>'
project region "$row" '        <Region>\n            <Width>50</Width>\n            <Height>40</Height>\n        </Region>\n        <Transparency>#ff00ff</Transparency>\n        <StackImages>true</StackImages>'
project keep '        <Row><File>@TS_DIR/k.png</File><File>KeepEmpty</File><File/></Row>' '        <Overlap>x</Overlap>'

# Sources filters: the pattern, a line break, a file name.
printf 'img_r{row}_c{col}.*\nimg_r3_c07.tif' > "$out/fuzz_sources/rowcol"
printf '{index}-{col}x{row}\n5-12x007' > "$out/fuzz_sources/ranks"
printf 'a?.png\nxa1.png.bak' > "$out/fuzz_sources/wildcards"
printf '[a]+=(b)-*\n[a]+=(b)-1' > "$out/fuzz_sources/escapes"
printf '^img{index}$|cat\nhotdog.png' > "$out/fuzz_sources/syntax"

# Tile decoders: the expected width and height less one, then a small PNG or JPEG of that size.
printf '\x03\x02\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00\x03\x08\x02\x00\x00\x00\x3b\x96\x39\x91\x00\x00\x00\x2f\x49\x44\x41\x54\x78\xda\x63\x60\x60\xe5\x52\xd5\xd2\xf7\xf2\x0f\xc9\x2f\xa9\x64\xe0\x16\x10\x35\x30\xb5\x0a\x8d\x8a\xaf\xaa\x6f\x61\x10\x93\x56\xb0\x76\x70\x4d\x48\xcd\x6a\xed\xea\x07\x00\xa2\xd5\x0a\x0f\x5b\xad\xb9\x92\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' > "$out/fuzz_tile_decoders/png_rgb"
printf '\x02\x01\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x03\x00\x00\x00\x02\x08\x04\x00\x00\x00\x37\x7d\xae\x91\x00\x00\x00\x16\x49\x44\x41\x54\x78\xda\x63\x60\x60\x55\xd5\xf2\xf2\x67\xe0\x16\x30\x30\x0d\x8d\x02\x00\x0b\x8c\x02\x1d\x7a\x6d\xf6\xdb\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' > "$out/fuzz_tile_decoders/png_grey_alpha"
printf '\x01\x01\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x10\x06\x00\x00\x00\x22\x26\xd1\x67\x00\x00\x00\x2a\x49\x44\x41\x54\x78\xda\x63\x60\x60\xe5\xe2\x17\x91\x94\x53\x56\xd5\xd2\x37\xb1\xb4\x73\xf6\x60\xe0\x16\x10\x95\x92\x57\xd1\xd4\x33\x30\xb5\xb2\x77\xf1\xf4\x0b\x06\x00\x45\xf2\x05\x31\x51\x8b\xdd\xc2\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82' > "$out/fuzz_tile_decoders/png_rgba16"
if command -v convert > /dev/null; then
  { printf '\x03\x02'; convert -size 4x3 gradient:red-blue -strip jpg:-; } > "$out/fuzz_tile_decoders/jpeg"
fi
