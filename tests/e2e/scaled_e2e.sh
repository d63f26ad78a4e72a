#!/usr/bin/env bash
# The companion at two device pixels per pixel (QT_SCALE_FACTOR=2) on a real X server:
# her pictures at twice the size, cut out at the device pixels. The screenshot is kept
# beside the one at one pixel per pixel (companion.png) as companion-2x.png.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup

QT_SCALE_FACTOR=2 "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
scaled_companion_mapped() {
    WID=$(e2e_windows_sized 336 186 | head -n 1 | cut -d' ' -f1) && test -n "$WID"
}
if ! e2e_wait_for 20 scaled_companion_mapped; then
    e2e_save_screenshot companion-2x.png
    e2e_fatal "no window of 336 x 186 within 20 seconds"
fi
e2e_wait_for 20 e2e_greeting_sound_started ||
    e2e_fatal "no greeting sound within 20 seconds: her first frame did not reach the screen"

e2e_window_position
e2e_save_screenshot companion-2x.png
import -window root -crop "336x186+$X+$Y" +repage "$E2E_DIR/window.png"
pixel() { convert "$E2E_DIR/window.png" -format "%[pixel:p{$1,$2}]" info:- | sed 's/srgba\?(\([0-9]*,[0-9]*,[0-9]*\).*/srgb(\1)/'; }
below_bubble=$(pixel 2 185)
girl=$(pixel 270 120)
e2e_check "key colour is see-through ($below_bubble)" test "$below_bubble" = "$ROOT_PIXEL"
e2e_check "the girl is drawn ($girl)" test "$girl" != "$ROOT_PIXEL" -a "$girl" != "srgb(192,220,192)"

# A shape in window pixels shows or hides whole 2 x 2 blocks of device pixels; cut at the
# device pixels, her outline passes through some of them.
split_blocks=$(convert "$E2E_DIR/window.png" -depth 8 txt:- | awk -v root="${ROOT_PIXEL#srgb}" '
    NR > 1 {
        split($1, at, /[,:]/)
        block = int(at[1] / 2) "," int(at[2] / 2)
        colour = $2
        sub(/,255\)$/, ")", colour)
        if (colour == root) seen[block] = seen[block] "r"; else seen[block] = seen[block] "d"
    }
    END { n = 0; for (b in seen) if (seen[b] ~ /r/ && seen[b] ~ /d/) n++; print n }')
e2e_check "the shape follows her at the device pixels ($split_blocks split blocks)" test "$split_blocks" -gt 0
e2e_finish
