#!/usr/bin/env bash
# Draws the skin pictures of the demo project into examples/demo/Graphics with
# ImageMagick: the panel (rounded corners, a porthole and a notch in the
# invisible colour magenta, 16711935 in Setup.ini) and three button sets of
# four states each (normal, over, pressed, disabled): Back as BMP and Next as
# GIF, both keyed on magenta, Cancel as rectangular JPEG, which needs no key.
# Shapes are drawn without antialiasing so that no half-magenta fringe is
# left around the cut-out. The outputs are committed; run this after a change.
set -euo pipefail
cd "$(dirname "$0")/.."
out=examples/demo/Graphics
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
key='#FF00FF'
font=DejaVu-Sans-Bold

# The panel, 380 x 280; Setup.ini places the page area and the buttons on it.
convert -size 380x280 gradient:'#2f5d9e'-'#101e38' "$tmp/fill.png"
convert -size 380x280 xc:black +antialias -fill white -draw "roundrectangle 0,0 379,279 30,30" \
  -fill black -draw "circle 352,28 352,37" -draw "circle 190,280 190,268" "$tmp/mask.png"
convert "$tmp/fill.png" "$tmp/mask.png" -alpha off -compose CopyOpacity -composite \
  -background "$key" -compose Over -flatten \
  -fill none -stroke '#8fb4e8' -strokewidth 1 -draw "roundrectangle 19,49 360,223 6,6" \
  -stroke none -fill white -font "$font" -pointsize 18 -draw "text 24,36 'SkinSetup Demo'" \
  -fill '#8fb4e8' -font DejaVu-Sans -pointsize 10 -draw "text 24,262 'skinned setup'" \
  -type TrueColor "BMP3:$out/panel.bmp"

# button NAME LABEL FORMAT KEYED: the four states of one button, 76 x 30.
button() {
  local name=$1 label=$2 format=$3 keyed=$4
  local -A fill=([normal]='#3d7bd9' [over]='#62a0f7' [pressed]='#244f96' [disabled]='#7d838c')
  local -A ink=([normal]=white [over]=white [pressed]='#dde8f8' [disabled]='#c3c7cd')
  for state in normal over pressed disabled; do
    local shift=0; [ "$state" = pressed ] && shift=1
    local shape="roundrectangle 0,0 75,29 14,14" background="$key"
    [ "$keyed" = no ] && shape="rectangle 0,0 75,29" && background='#101e38'
    convert -size 76x30 "xc:$background" +antialias -fill "${fill[$state]}" -draw "$shape" \
      -fill "${ink[$state]}" -font "$font" -pointsize 12 -gravity center \
      -draw "text $shift,$shift '$label'" "$tmp/$name.png"
    case $format in
      bmp) convert "$tmp/$name.png" -type TrueColor "BMP3:$out/${name}_$state.bmp" ;;
      gif) convert "$tmp/$name.png" "$out/${name}_$state.gif" ;;
      jpg) convert "$tmp/$name.png" -quality 90 "$out/${name}_$state.jpg" ;;
    esac
  done
}
button back '< Back' bmp yes
button next 'Next >' gif yes
button cancel 'Cancel' jpg no

ls -l "$out"
