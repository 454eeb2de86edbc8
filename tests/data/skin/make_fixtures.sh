#!/usr/bin/env bash
# Remakes the picture fixtures of the skin tests with ImageMagick.
# six.ppm: 5 x 3 pixels of six colours (odd width: rows need padding).
set -euo pipefail
cd "$(dirname "$0")"
cat > six.ppm <<'PPM'
P3 5 3 255
255 0 0   0 255 0   0 0 255   255 0 255   255 255 255
0 0 0     255 0 0   0 255 0   0 0 255     255 0 255
255 255 0 255 255 0 255 0 0   255 0 0     0 0 0
PPM
convert six.ppm BMP3:six24.bmp
convert six.ppm -type Palette BMP3:six4.bmp
convert six.ppm six.gif
convert six.ppm -sample 400% -interlace GIF six_interlaced.gif  # 20 x 12: four passes
# Two colours give a 1-bit BMP.
convert -size 9x2 xc:black -fill white -draw "point 0,0 point 8,1 point 3,0" -type Palette BMP3:two1.bmp
# 40 grey steps give an 8-bit BMP.
convert -size 40x1 gradient:black-white -rotate 90 -rotate -90 -colors 40 -type Palette -compress none BMP3:grey8.bmp
# 32 bits with alpha: red, half-transparent green, transparent blue.
convert -size 3x1 xc:none -fill "rgba(255,0,0,1)" -draw "point 0,0" \
  -fill "rgba(0,255,0,0.5)" -draw "point 1,0" BMP:alpha32.bmp
# JPEG: two flat halves, left red, right blue, 16 x 8; a grey and a progressive one.
convert -size 8x8 xc:red -size 8x8 xc:blue +append -quality 95 halves.jpg
convert -size 8x8 xc:red -size 8x8 xc:blue +append -quality 95 -interlace JPEG halves_progressive.jpg
convert -size 16x8 xc:"rgb(128,128,128)" -colorspace Gray -quality 95 grey.jpg
rm six.ppm
