#!/usr/bin/env bash
# Writes a small seed corpus for every fuzz target into <dir>/<target>/ (default build-asan/fuzz-corpus).
set -euo pipefail
out=${1:-build-asan/fuzz-corpus}
mkdir -p "$out"/{fuzz_switches,fuzz_color,fuzz_cli_project,fuzz_sources,fuzz_editor_project}

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
