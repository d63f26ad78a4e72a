#!/bin/sh
# Renders Plumo's skins (assets/skin/) and application icon (assets/icon/) from
# the SVG sources in assets/skin/src/ and assets/icon/plumo.svg, then checks the
# results. Every picture is rendered at its own size and again at twice that size,
# for screens at two device pixels per pixel, into a file named with "@2x" before
# its extension (g1@2x, i@2x.gif, plumo-16@2x.png); only the calendar's background,
# drawn at one pixel per pixel, has none. The rendered files are
# committed, so building never needs this.
#
#   assets/render-art.sh                  render and check everything
#   assets/render-art.sh --preview DIR    also write composited previews to DIR
#
# Needs rsvg-convert (librsvg2-bin) and ImageMagick 6 (imagemagick).
set -eu

assets=$(cd "$(dirname "$0")" && pwd)
src=$assets/skin/src
skin=$assets/skin
icon=$assets/icon
convert=/usr/bin/convert

preview_dir=
case "${1-}" in
"") ;;
--preview)
    [ $# -eq 2 ] || { echo "usage: $0 [--preview DIR]" >&2; exit 2; }
    preview_dir=$2
    ;;
*)
    echo "usage: $0 [--preview DIR]" >&2
    exit 2
    ;;
esac

for tool in rsvg-convert "$convert"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$0: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The companion window's key colour: only pixels of exactly this colour are
# see-through, after PNG alpha has been blended onto it.
key='rgb(192,220,192)'
key_neighbour='rgb(192,220,193)'

# The eye picture lies over x 10, y 19 of the girl (window 113,19), 49 x 14, in
# pixels of the 1x pictures.
eye_w=49
eye_h=14
eye_x=10
eye_y=19

# Blink: open for 3 s, half closed, closed, half closed (GIF delays in 1/100 s).
open_delay=300
half_delay=8
closed_delay=12

# PNG output without gamma, colour-profile, time or text chunks, so that every
# decoder reads the stored bytes as they are and a re-render is byte-identical.
png_out() { # output input-and-operations...
    out=$1
    shift
    "$convert" "$@" -strip -define png:exclude-chunk=all "$out"
}

# Hard silhouette: alpha becomes exactly 0 or 255, fully transparent pixels are
# black, and no opaque pixel keeps the exact key colour.
harden() {
    "$convert" "$1" -channel A -threshold 50% +channel \
        -fill "$key_neighbour" -opaque "$key" \
        -background black -alpha background "$2"
}

# The name of a picture at scale $scale: "g1" -> "g1@2x", "i.gif" -> "i@2x.gif".
scaled() {
    [ "$scale" = 1 ] && { echo "$1"; return; }
    case $1 in
    *.*) echo "${1%.*}@${scale}x.${1##*.}" ;;
    *) echo "$1@${scale}x" ;;
    esac
}

render_svg() { # svg output [stylesheet]
    rsvg-convert -z "$scale" ${3:+-s "$3"} "$1" -o "$2"
}

render_girl() { # outfit eyes output
    css=$work/girl-$1-$2.css
    printf '.outfit, .bow, .eyes { display: none }\n#outfit-%s, #bow-%s, #eyes-%s { display: inline }\n' \
        "$1" "$1" "$2" >"$css"
    render_svg "$src/girl.svg" "$work/raw.png" "$css"
    harden "$work/raw.png" "$3"
}

# Renders every picture at $scale times its size.
render_all() {
eye_box=$((eye_w * scale))x$((eye_h * scale))+$((eye_x * scale))+$((eye_y * scale))
echo "girl: $(scaled g1) (red dress), $(scaled g2) (sailor outfit)"
for eyes in open half closed; do
    render_girl dress "$eyes" "$work/dress-$eyes.png"
done
render_girl sailor open "$work/sailor-open.png"

echo "eyes: $(scaled i.gif)"
for name in dress-open dress-half dress-closed sailor-open; do
    "$convert" "$work/$name.png" -crop "$eye_box" +repage "$work/eyes-$name.png"
done
# The frames are opaque exactly where a blink changes anything (grown by one
# pixel at 1x) and transparent elsewhere; every frame covers the same pixels, so
# the result does not depend on how a viewer disposes of the previous frame.
changed() {
    "$convert" "$work/eyes-dress-open.png" -alpha off "$work/eyes-$1.png" -alpha off \
        -compose difference -composite -separate -evaluate-sequence max "$work/changed-$1.png"
}
changed dress-half
changed dress-closed
"$convert" "$work/changed-dress-half.png" "$work/changed-dress-closed.png" -evaluate-sequence max \
    -threshold 0 -morphology Dilate "Square:$scale" "$work/eye-mask.png"
for state in open half closed; do
    "$convert" "$work/eyes-dress-$state.png" -alpha off "$work/eye-mask.png" -alpha off \
        -compose CopyOpacity -composite -background black -alpha background "$work/frame-$state.png"
done
# One palette for all frames (the transparent colour among them), so the GIF
# carries a single global colour table and no local ones.
"$convert" "$work/frame-open.png" "$work/frame-half.png" "$work/frame-closed.png" -append \
    +dither -colors 256 -unique-colors "$work/eye-palette.png"
"$convert" -dispose None \
    -delay "$open_delay" "$work/frame-open.png" \
    -delay "$half_delay" "$work/frame-half.png" \
    -delay "$closed_delay" "$work/frame-closed.png" \
    -delay "$half_delay" "$work/frame-half.png" \
    +dither -remap "$work/eye-palette.png" -loop 0 "GIF:$work/i.gif"
cp "$work/i.gif" "$skin/$(scaled i.gif)"
cp "$work/eye-mask.png" "$work/eye-mask-$scale.png"

# The girl's own eyes become the GIF's first frame pixel for pixel, so the open
# frame is indistinguishable from the face below it in both outfits.
"$convert" "$skin/$(scaled i.gif)[0]" +repage "PNG32:$work/gif-open.png"
for pair in "dress-open g1" "sailor-open g2"; do
    set -- $pair
    png_out "PNG32:$skin/$(scaled "$2")" "$work/$1.png" "$work/gif-open.png" \
        -geometry "+$((eye_x * scale))+$((eye_y * scale))" -compose Over -composite
done

echo "bubbles and panel: $(scaled spop), $(scaled bpop), $(scaled menu)"
for name in spop bpop menu; do
    render_svg "$src/$name.svg" "$work/raw.png"
    harden "$work/raw.png" "$work/$name.png"
    png_out "PNG32:$skin/$(scaled $name)" "$work/$name.png"
done

echo "settings background: $(scaled set)"
render_svg "$src/set.svg" "$work/raw.png"
harden "$work/raw.png" "$work/set.png"
png_out "PNG24:$skin/$(scaled set)" "$work/set.png" -background "$key" -alpha remove -alpha off

# The calendar draws at one pixel per pixel: its background has no larger picture.
if [ "$scale" = 1 ]; then
    echo "calendar background: bg.bmp"
    render_svg "$src/bg.svg" "$work/raw.png"
    "$convert" "$work/raw.png" -alpha off -type TrueColor -strip "BMP3:$skin/bg.bmp"
fi

echo "icon: $(scaled "plumo-{16,32,48,64,128}.png")"
for size in 16 32 48 64 128; do
    rsvg-convert -w $((size * scale)) -h $((size * scale)) "$icon/plumo.svg" -o "$work/raw.png"
    png_out "PNG32:$icon/$(scaled "plumo-$size.png")" "$work/raw.png"
done
}

for scale in 1 2; do render_all; done

# ---- checks -----------------------------------------------------------------

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
size_of() { "$convert" "$1" -format '%wx%h' info:; }
expect_size() {
    actual=$(size_of "$1")
    [ "$actual" = "$2" ] || fail "$1 is $actual, expected $2"
}
# Distinct values of the alpha channel, e.g. "0 255".
alpha_values() {
    "$convert" "$1" -alpha extract -depth 8 -format %c histogram:info:- |
        sed -n 's/.*(\([0-9]*\)).*/\1/p; s/.*gray(\([0-9]*\)).*/\1/p' | sort -nu | tr '\n' ' ' | sed 's/ $//'
}
key_pixels() {
    "$convert" "$1" -alpha off -depth 8 -format %c histogram:info:- |
        awk '/\(192,220,192\)/ { n += $1 } END { print n + 0 }'
}
expect_hard_rgba() {
    expect_size "$1" "$2"
    alpha=$(alpha_values "$1")
    [ "$alpha" = "0 255" ] || fail "$1 has alpha values other than 0 and 255: $alpha"
    [ "$(key_pixels "$1")" = 0 ] || fail "$1 has opaque pixels in the key colour"
}

# Every check at scale $scale: sizes and positions in 1x pixels times the scale.
check_all() {
s=$scale
sz() { echo "$(($1 * s))x$(($2 * s))"; }
eye_box=$(sz "$eye_w" "$eye_h")+$((eye_x * s))+$((eye_y * s))
g1=$skin/$(scaled g1)
g2=$skin/$(scaled g2)
gif=$skin/$(scaled i.gif)
set_file=$skin/$(scaled set)

for name in g1 g2; do expect_hard_rgba "$skin/$(scaled $name)" "$(sz 65 91)"; done
for name in spop bpop menu; do expect_hard_rgba "$skin/$(scaled $name)" "$(sz 105 91)"; done

# The text label (74 x 66 at 12,17) and a pixel around it lie on plain tooltip yellow.
for name in spop bpop; do
    label_box=$(sz 76 68)+$((11 * s))+$((16 * s))
    file=$skin/$(scaled $name)
    colours=$("$convert" "$file" -crop "$label_box" +repage -depth 8 -format %c histogram:info:- | wc -l)
    inside=$("$convert" "$file" -crop "$label_box" +repage -depth 8 -format '%[pixel:p{0,0}]' info:)
    [ "$colours" = 1 ] && [ "$inside" = "srgba(255,255,225,1)" ] ||
        fail "$file: the label rectangle is not plain RGB(255,255,225) ($colours colours, $inside)"
done

expect_size "$gif[0]" "$(sz "$eye_w" "$eye_h")"
frames=$("$convert" "$gif" -format '%T\n' info: | tr '\n' ' ')
[ "$frames" = "$open_delay $half_delay $closed_delay $half_delay " ] || fail "$gif frame delays are: $frames"
# Every frame over either outfit: the open frame must leave the girl unchanged.
for file in "$g1" "$g2"; do
    differing=$("$convert" "$file" \( "$gif[0]" +repage \) -geometry "+$((eye_x * s))+$((eye_y * s))" \
        -compose Over -composite "$file" -metric AE -compare -format '%[distortion]' info:)
    [ "$differing" = 0 ] || fail "the open-eye frame differs from $file in $differing pixels"
done
# Both outfits share the face: the opaque area of the eye frames must be equal in both.
mask=$work/eye-mask-$s.png
g1_eyes=$("$convert" "$g1" -crop "$eye_box" +repage "$mask" -alpha off \
    -compose CopyOpacity -composite -background black -alpha background -depth 8 rgba:- | md5sum)
g2_eyes=$("$convert" "$g2" -crop "$eye_box" +repage "$mask" -alpha off \
    -compose CopyOpacity -composite -background black -alpha background -depth 8 rgba:- | md5sum)
[ "$g1_eyes" = "$g2_eyes" ] || fail "$g1 and $g2 differ under the eye picture"

expect_size "$set_file" "$(sz 208 257)"
[ "$("$convert" "$set_file" -format '%[opaque]' info:)" = true ] || fail "$set_file is not opaque"
corner=$("$convert" "$set_file" -depth 8 -format '%[pixel:p{0,0}]' info:)
[ "$corner" = "srgb(192,220,192)" ] || fail "$set_file: the corner is $corner, not the key colour"

if [ "$s" = 1 ]; then
    expect_size "$skin/bg.bmp" 313x253
    case $(file -b "$skin/bg.bmp") in
    *"x 24"*) ;;
    *) fail "bg.bmp is not a 24-bit bitmap: $(file -b "$skin/bg.bmp")" ;;
    esac
fi

for size in 16 32 48 64 128; do expect_size "$icon/$(scaled "plumo-$size.png")" "$(sz "$size" "$size")"; done
}

for scale in 1 2; do check_all; done

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"

# ---- previews (not committed) ----------------------------------------------

[ -n "$preview_dir" ] || exit 0
mkdir -p "$preview_dir"
font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei:lang=zh-cn' 2>/dev/null || true)
label() { # text output
    "$convert" -size 74x66 -background '#ffffe1' -fill 'rgb(255,153,51)' ${font:+-font "$font"} \
        -pointsize 12 "caption:$1" "$2"
}
label "下午好！今天也要开开心心的哦。" "$work/label.png"
window() { # bubble girl eye-frame output
    "$convert" -size 168x93 "xc:$key" \
        "$skin/$1" -geometry +0+0 -composite \
        "$2" -geometry +103+0 -composite \
        \( "$skin/i.gif[$3]" +repage \) -geometry +113+19 -composite "$4"
}
window spop "$skin/g1" 0 "$work/w1.png"
"$convert" "$work/w1.png" "$work/label.png" -geometry +12+17 -composite "$work/w1.png"
window bpop "$skin/g2" 0 "$work/w2.png"
"$convert" "$work/w2.png" "$work/label.png" -geometry +12+17 -composite "$work/w2.png"
window menu "$skin/g1" 0 "$work/w3.png"
"$convert" "$work/w1.png" "$work/w2.png" "$work/w3.png" -append "$preview_dir/window-x1.png"
"$convert" "$preview_dir/window-x1.png" -scale 400% "$preview_dir/window-x4.png"
for frame in 0 1 2 3; do
    for name in g1 g2; do
        "$convert" "$skin/$name" \( "$skin/i.gif[$frame]" +repage \) -geometry "+$eye_x+$eye_y" \
            -compose Over -composite -background "$key" -alpha remove "$work/blink-$name-$frame.png"
    done
    "$convert" "$work/blink-g1-$frame.png" "$work/blink-g2-$frame.png" +append "$work/blink-$frame.png"
done
"$convert" "$work"/blink-0.png "$work"/blink-1.png "$work"/blink-2.png "$work"/blink-3.png \
    +append -scale 400% "$preview_dir/blink-x4.png"
echo "previews in $preview_dir"
