#!/usr/bin/env bash
# Draws the skin pictures of the demo projects with ImageMagick:
# examples/demo/Graphics (English button labels) and examples/demo-de/Graphics
# (German). Each has the panel, 600 x 440 with rounded corners, a porthole and
# a notch in the invisible colour magenta (16711935 in Setup.ini), a side band
# with the title and a framed page area of 400 x 312 for the wizard's pages,
# and three button sets of four states each (normal, over, pressed, disabled):
# Back as BMP and Next as GIF, both keyed on magenta, Cancel as rectangular
# JPEG, which needs no key. Shapes are drawn without antialiasing so that no
# half-magenta fringe is left around the cut-out. The outputs are committed;
# run this after a change.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
key='#FF00FF'
font=DejaVu-Sans-Bold

# panel OUT SUBTITLE: the window picture. The page area (Toolweb in Setup.ini)
# is left 176, top 52, width 400, height 312; the buttons sit on the row at 384.
panel() {
  local out=$1 subtitle=$2
  convert -size 600x440 gradient:'#2f5d9e'-'#101e38' "$tmp/fill.png"
  convert -size 600x440 xc:black +antialias -fill white -draw "roundrectangle 0,0 599,439 30,30" \
    -fill black -draw "circle 84,330 84,350" -draw "roundrectangle 250,426 350,452 10,10" "$tmp/mask.png"
  convert "$tmp/fill.png" "$tmp/mask.png" -alpha off -compose CopyOpacity -composite \
    -background "$key" -compose Over -flatten \
    -fill '#0b1528' -draw "rectangle 164,40 588,376" \
    -fill none -stroke '#8fb4e8' -strokewidth 1 -draw "rectangle 171,47 580,368" \
    -draw "circle 84,330 84,354" \
    -stroke none -fill white -font "$font" -pointsize 20 -draw "text 20,34 'SkinSetup Demo'" \
    -fill '#8fb4e8' -font DejaVu-Sans -pointsize 11 -draw "text 22,70 '$subtitle'" \
    -fill '#5e86c4' -pointsize 10 -draw "text 22,420 'skinned setup'" \
    -type TrueColor "BMP3:$out/panel.bmp"
}

# button OUT NAME LABEL FORMAT KEYED: the four states of one button, 76 x 30.
button() {
  local out=$1 name=$2 label=$3 format=$4 keyed=$5
  local -A fill=([normal]='#3d7bd9' [over]='#62a0f7' [pressed]='#244f96' [disabled]='#7d838c')
  local -A ink=([normal]=white [over]=white [pressed]='#dde8f8' [disabled]='#c3c7cd')
  for state in normal over pressed disabled; do
    local shift=0; [ "$state" = pressed ] && shift=1
    local shape="roundrectangle 0,0 75,29 14,14" background="$key"
    [ "$keyed" = no ] && shape="rectangle 0,0 75,29" && background='#101e38'
    convert -size 76x30 "xc:$background" +antialias -fill "${fill[$state]}" -draw "$shape" \
      -fill "${ink[$state]}" -font "$font" -pointsize 11 -gravity center \
      -draw "text $shift,$shift '$label'" "$tmp/$name.png"
    case $format in
      bmp) convert "$tmp/$name.png" -type TrueColor "BMP3:$out/${name}_$state.bmp" ;;
      gif) convert "$tmp/$name.png" "$out/${name}_$state.gif" ;;
      jpg) convert "$tmp/$name.png" -quality 90 "$out/${name}_$state.jpg" ;;
    esac
  done
}

# project OUT SUBTITLE BACK NEXT CANCEL
project() {
  local out=$1
  mkdir -p "$out"
  panel "$out" "$2"
  button "$out" back "$3" bmp yes
  button "$out" next "$4" gif yes
  button "$out" cancel "$5" jpg no
  ls -l "$out"
}
project examples/demo/Graphics 'Installation wizard' '< Back' 'Next >' 'Cancel'
project examples/demo-de/Graphics 'Installations-Assistent' '< Zurück' 'Weiter >' 'Abbrechen'
