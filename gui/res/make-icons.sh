#!/usr/bin/env bash
# Draws the editor's icons with ImageMagick. Run from anywhere; rewrites the PNGs beside it.
# The images are simple geometric drawings made for Tessara.
set -euo pipefail
cd "$(dirname "$0")"

# icon <file> <size> <draw arguments...>: transparent square canvas, strokes 1.5 px wide.
icon() {
    local file=$1 size=$2
    shift 2
    convert -size "${size}x${size}" xc:none -strokewidth 1.5 "$@" -strip "PNG32:$file"
}

# Recurring pieces, drawn on a 24 px canvas.
GRID=(-fill '#dbe7f5' -stroke '#3b6ea5' -draw 'rectangle 3,3 17,17' -draw 'line 8,3 8,17' -draw 'line 13,3 13,17'
      -draw 'line 3,8 17,8' -draw 'line 3,13 17,13')
PICTURE=(-fill '#e8f3ff' -stroke '#4a6d8c' -draw 'rectangle 2,4 17,16' -fill '#5da35d' -stroke none
         -draw 'polygon 3,15 8,9 12,13 14,11 16,15' -fill '#f2c12e' -draw 'circle 13,7 13,8.5')
PLUS=(-fill '#2f9e44' -stroke none -draw 'rectangle 17,13 19,23' -draw 'rectangle 13,17 23,19')
MINUS=(-fill '#c92a2a' -stroke none -draw 'rectangle 13,17 23,19')
CROSS=(-fill none -stroke '#c92a2a' -strokewidth 2.5 -draw 'line 14,14 22,22' -draw 'line 22,14 14,22')
LENS=(-fill '#eef6ff' -stroke '#38597a' -strokewidth 2 -draw 'circle 10,10 10,16' -draw 'line 15,15 21,21')

# Application, status and decoration images.
icon Icons/TessaraIcon.png 64 -stroke '#1f3b57' -strokewidth 2 \
    -fill '#e05d44' -draw 'roundrectangle 4,4 22,22 3,3' -fill '#f2c12e' -draw 'roundrectangle 23,4 41,22 3,3' \
    -fill '#3b8fd9' -draw 'roundrectangle 42,4 60,22 3,3' -fill '#5da35d' -draw 'roundrectangle 4,23 22,41 3,3' \
    -fill '#8e5ea2' -draw 'roundrectangle 23,23 41,41 3,3' -fill '#e05d44' -draw 'roundrectangle 42,23 60,41 3,3' \
    -fill '#3b8fd9' -draw 'roundrectangle 4,42 22,60 3,3' -fill '#5da35d' -draw 'roundrectangle 23,42 41,60 3,3' \
    -fill '#f2c12e' -draw 'roundrectangle 42,42 60,60 3,3'
icon Icons/Hourglass.png 32 -fill '#f6e7b4' -stroke '#6b4f1d' -strokewidth 2 \
    -draw 'polygon 7,4 25,4 17,16 25,28 7,28 15,16' -fill '#d9a21b' -stroke none -draw 'polygon 10,26 22,26 16,20' \
    -stroke '#6b4f1d' -strokewidth 2 -draw 'line 5,3 27,3' -draw 'line 5,29 27,29'
convert -size 6x6 xc:none -fill '#9aa5b1' -draw 'point 1,1' -draw 'point 1,4' -draw 'point 4,1' -draw 'point 4,4' \
    -strip PNG32:Elements/ToolbarHandle.png
convert -size 200x72 xc:white -stroke '#1f3b57' -strokewidth 2 \
    -fill '#e05d44' -draw 'roundrectangle 12,12 34,34 3,3' -fill '#f2c12e' -draw 'roundrectangle 38,12 60,34 3,3' \
    -fill '#3b8fd9' -draw 'roundrectangle 12,38 34,60 3,3' -fill '#5da35d' -draw 'roundrectangle 38,38 60,60 3,3' \
    -stroke none -fill '#1f3b57' -font DejaVu-Sans-Bold -pointsize 26 -annotate +72+46 'Tessara' \
    -fill '#3b8fd9' -draw 'rectangle 74,54 186,56' -strip PNG32:Elements/VelmontLogo.png

# Actions (24 px).
icon Actions/AppExit.png 24 -fill '#f1e4d0' -stroke '#6b4f1d' -draw 'rectangle 3,2 13,21' \
    -fill none -stroke '#c92a2a' -strokewidth 2.5 -draw 'line 9,12 21,12' -draw 'polyline 17,8 21,12 17,16'
icon Actions/AppAbout.png 24 -fill '#3b8fd9' -stroke '#1f5f99' -draw 'circle 12,12 12,22' \
    -fill white -stroke none -draw 'rectangle 11,10 13,18' -draw 'circle 12,7 12,8.3'
icon Actions/Help.png 24 -fill '#3b8fd9' -stroke '#1f5f99' -draw 'circle 12,12 12,22' \
    -fill none -stroke white -strokewidth 2.5 -draw 'arc 8,5 16,13 180,400' -draw 'line 12,13 12,15' \
    -fill white -stroke none -draw 'circle 12,18 12,19.3'
icon Actions/WebLocation.png 24 -fill '#cfe8ff' -stroke '#1f5f99' -draw 'circle 12,12 12,22' \
    -fill none -draw 'ellipse 12,12 4,10 0,360' -draw 'line 2,12 22,12' -draw 'line 4,7 20,7' -draw 'line 4,17 20,17'
icon Actions/GridCreate.png 24 "${GRID[@]}" "${PLUS[@]}"
icon Actions/GridClear.png 24 "${GRID[@]}" "${CROSS[@]}"
icon Actions/GridZoom_Bigger.png 24 "${LENS[@]}" -stroke '#2f9e44' -strokewidth 2 -draw 'line 7,10 13,10' -draw 'line 10,7 10,13'
icon Actions/GridZoom_Smaller.png 24 "${LENS[@]}" -stroke '#c92a2a' -strokewidth 2 -draw 'line 7,10 13,10'
icon Actions/GridCompound.png 24 -stroke '#3b6ea5' -fill '#e05d44' -draw 'rectangle 1,1 7,7' -fill '#f2c12e' \
    -draw 'rectangle 1,9 7,15' -fill '#3b8fd9' -draw 'rectangle 9,1 15,7' -fill '#5da35d' -draw 'rectangle 9,9 15,15' \
    -fill none -stroke '#1f3b57' -strokewidth 2 -draw 'line 16,16 22,22' -draw 'polyline 17,22 22,22 22,17'
icon Actions/GridCompactView.png 24 -fill '#dbe7f5' -stroke '#3b6ea5' -strokewidth 1 -draw 'rectangle 2,2 21,21' \
    -draw 'line 7,2 7,21' -draw 'line 12,2 12,21' -draw 'line 17,2 17,21' -draw 'line 2,7 21,7' \
    -draw 'line 2,12 21,12' -draw 'line 2,17 21,17'
# "Flip horizontally" mirrors the rows top to bottom (across a horizontal axis); "Flip vertically"
# mirrors the columns left to right. Each icon shows the arrows of its own movement.
icon Actions/GridFlipHorizontal.png 24 -stroke '#38597a' -fill '#3b8fd9' -draw 'polygon 5,10 19,10 12,2' \
    -fill '#dbe7f5' -draw 'polygon 5,14 19,14 12,22' -stroke '#1f3b57' -draw 'line 2,12 22,12'
icon Actions/GridFlipVertical.png 24 -stroke '#38597a' -fill '#3b8fd9' -draw 'polygon 10,5 10,19 2,12' \
    -fill '#dbe7f5' -draw 'polygon 14,5 14,19 22,12' -stroke '#1f3b57' -draw 'line 12,2 12,22'
icon Actions/GridResize.png 24 "${GRID[@]}" -fill none -stroke '#2f9e44' -strokewidth 2 \
    -draw 'line 15,15 22,22' -draw 'polyline 17,22 22,22 22,17'
icon Actions/GridSelectImage.png 24 "${GRID[@]}" -fill white -stroke '#1f3b57' -strokewidth 1 \
    -draw 'polygon 12,11 12,23 15,20 17,24 19,23 17,19 21,19'
icon Actions/GridMoveToTray.png 24 "${GRID[@]}" -fill '#f1e4d0' -stroke '#6b4f1d' -draw 'rectangle 12,18 23,22' \
    -fill none -stroke '#2f9e44' -strokewidth 2 -draw 'line 17,9 17,16' -draw 'polyline 14,13 17,16 20,13'
icon Actions/GridClearCell.png 24 -fill '#dbe7f5' -stroke '#3b6ea5' -draw 'rectangle 3,3 15,15' "${CROSS[@]}"
icon Actions/ProjectNew.png 24 -fill white -stroke '#4a6d8c' -draw 'polygon 4,2 14,2 19,7 19,22 4,22' \
    -fill '#dbe7f5' -draw 'polygon 14,2 14,7 19,7'
icon Actions/ProjectOpen.png 24 -fill '#f2c12e' -stroke '#8a6d12' -draw 'polygon 2,5 9,5 11,7 20,7 20,19 2,19' \
    -fill '#f8dc7a' -draw 'polygon 5,10 23,10 20,19 2,19'
icon Actions/ProjectSave.png 24 -fill '#3b6ea5' -stroke '#1f3b57' -draw 'polygon 3,3 18,3 21,6 21,21 3,21' \
    -fill white -stroke none -draw 'rectangle 6,4 16,10' -fill '#dbe7f5' -draw 'rectangle 7,14 17,21'
icon Actions/ProjectRecent.png 24 -fill white -stroke '#38597a' -draw 'circle 12,12 12,22' \
    -stroke '#1f3b57' -strokewidth 2 -draw 'line 12,12 12,6' -draw 'line 12,12 16,14'
icon Actions/ImageAdd.png 24 "${PICTURE[@]}" "${PLUS[@]}"
icon Actions/ImageRemove.png 24 "${PICTURE[@]}" "${MINUS[@]}"
icon Actions/ImageRemoveAll.png 24 -fill '#dbe7f5' -stroke '#4a6d8c' -draw 'rectangle 5,1 20,12' "${PICTURE[@]}" "${CROSS[@]}"
icon Actions/ImageOpen.png 24 "${PICTURE[@]}" -fill none -stroke '#1f3b57' -strokewidth 2 \
    -draw 'line 14,21 22,13' -draw 'polyline 17,13 22,13 22,18'
icon Actions/ImageReload.png 24 "${PICTURE[@]}" -fill none -stroke '#2f9e44' -strokewidth 2 \
    -draw 'arc 12,12 22,22 200,470' -fill '#2f9e44' -stroke none -draw 'polygon 10,16 15,15 13,20'
