#!/usr/bin/env bash
# Makes a small skinned setup project with ImageMagick, for looking at the
# shaped window: a panel with rounded corners and a hole in the key colour
# magenta (0xFF00FF), and Back, Forward and Cancel buttons of four pictures.
#   make_demo_project.sh OUTPUT_FOLDER
set -euo pipefail
out=$1
mkdir -p "$out/Graphics" "$out/Sounds" "$out/Additional"
g=$out/Graphics

# The panel: 520 x 440, rounded, with a round window cut out at the top left.
convert -size 520x440 xc:magenta +antialias \
  -fill '#203858' -draw 'roundrectangle 0,0 519,439 40,40' \
  -fill '#2E5A8A' -draw 'roundrectangle 8,8 511,431 34,34' \
  -fill '#F4F1E8' -draw 'rectangle 104,16 497,321' \
  -fill magenta -draw 'circle 52,60 52,84' \
  -fill '#9CC3E6' -font DejaVu-Sans-Bold -pointsize 15 -draw "text 20,400 'SkinSetup'" \
  -type TrueColor BMP3:"$g/panel.bmp"

button() {  # name label normal over pressed
  local name=$1 label=$2
  local -a states=(normal:$3 over:$4 pressed:$5 disabled:'#8A8F96')
  for s in "${states[@]}"; do
    local state=${s%%:*} colour=${s#*:}
    local text='#FFFFFF'; [ "$state" = disabled ] && text='#C8CCD0'
    convert -size 73x57 xc:magenta +antialias \
      -fill "$colour" -draw 'roundrectangle 2,8 70,48 14,14' \
      -fill "$text" -font DejaVu-Sans-Bold -pointsize 13 -gravity center -annotate +0+0 "$label" \
      -type TrueColor BMP3:"$g/${name}_$state.bmp"
  done
}
button back 'Back' '#3D7A3D' '#52A852' '#285028'
button forward 'Next' '#3D5F9E' '#5484D6' '#263C66'
button cancel 'Cancel' '#9E3D3D' '#D65454' '#662626'

printf 'A demo of the skinned window.\r\n' > "$out/Readme.txt"
block() {  # action name left
  printf 'Object=Button\r\nName=%s\r\nAction=%s\r\nTop=368\r\nLeft=%s\r\nMask=Graphics\\%s_normal.bmp\r\nTouched=Graphics\\%s_over.bmp\r\nPressed=Graphics\\%s_pressed.bmp\r\nDisabled=Graphics\\%s_disabled.bmp\r\nInvisibleColor=16711935\r\nend\r\n' \
    "$2" "$1" "$3" "$4" "$4" "$4" "$4"
}
{
  printf 'Object=Setup\r\nTargetFile=Readme.txt\r\nAddfile=Readme.txt\r\nRazederodezTitle=Skin Demo\r\nLanguage=English\r\nDestination=Skin Demo\r\nFolder=Skin Demo\r\nend\r\n'
  printf 'Object=Toolweb\r\nTop=16\r\nLeft=104\r\nWidth=393\r\nHeight=305\r\nend\r\n'
  printf 'Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n'
  block Back Backbutton 192 back
  block Forward Forwardbutton 280 forward
  block Cancel Cancelbutton 360 cancel
} > "$out/Setup.ini"
