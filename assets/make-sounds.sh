#!/bin/sh
# Makes every clip under sound/: the three signal sounds and the two hourly voice packs,
# then checks that each MP3 decodes and that each voice clip is the one for its hour.
#
# Needs espeak-ng, sox (with its MP3 format) and lame. Run from anywhere:
#   assets/make-sounds.sh
# The output is byte-for-byte the same on every run with the same tool versions.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/sound"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=22050
bitrate=40

# Mandarin with the hanzi read through espeak-ng's pinyin dictionary (the plain "cmn" voice
# reads the dictionary's pinyin as English letters). Two different voice variants and pitches:
# vr = "Verola", pc = "女声".
voice_base=cmn-latn-pinyin
vr_voice="$voice_base+f5"
vr_options="-p 85 -s 145 -a 160"
pc_voice="$voice_base+f2"
pc_options="-p 62 -s 170 -a 160"

digits="零 一 二 三 四 五 六 七 八 九"

# Hour in words as it is said on the clock: 2 is 两点, 10 to 19 drop the leading 一.
hour_words() {
    hour=$1
    if [ "$hour" -eq 2 ]; then
        printf '两'
    elif [ "$hour" -lt 10 ]; then
        printf '%s' "$(echo $digits | cut -d' ' -f$((hour + 1)))"
    elif [ "$hour" -lt 20 ]; then
        printf '十'
        [ "$hour" -gt 10 ] && printf '%s' "$(echo $digits | cut -d' ' -f$((hour - 10 + 1)))"
    else
        printf '二十'
        [ "$hour" -gt 20 ] && printf '%s' "$(echo $digits | cut -d' ' -f$((hour - 20 + 1)))"
    fi
    return 0
}

# Pinyin syllables (espeak-ng's phoneme spelling, tone marks stripped) the hour must contain.
hour_phonemes() {
    hour=$1
    names="l'iN j'i '@r s'an s'i[ w'u l'iou tS;h'i p'A tS;'iou"
    word() { echo $names | cut -d' ' -f$(($1 + 1)); }
    if [ "$hour" -eq 2 ]; then
        echo "l'iAN"
    elif [ "$hour" -lt 10 ]; then
        word "$hour"
    elif [ "$hour" -lt 20 ]; then
        [ "$hour" -gt 10 ] && echo "s.'i. $(word $((hour - 10)))" || echo "s.'i."
    else
        [ "$hour" -gt 20 ] && echo "'@r s.'i. $(word $((hour - 20)))" || echo "'@r s.'i."
    fi
}

to_mp3() {  # to_mp3 in.wav out.mp3
    sox -R "$1" -r $rate -c 1 -b 16 "$work/final.wav" norm -1
    lame --quiet --cbr -b $bitrate -m m --noreplaygain "$work/final.wav" "$2"
}

mkdir -p "$out/vr" "$out/pc"

# msg.mp3: a short friendly two-note chime (plucked E6 then A6).
sox -R -n -r $rate -c 1 "$work/msg1.wav" synth 0.22 pluck E6 fade 0.003 0.22 0.05
sox -R -n -r $rate -c 1 "$work/msg2.wav" synth 0.75 pluck A6 fade 0.003 0.75 0.4
sox -R "$work/msg1.wav" "$work/msg2.wav" "$work/msg.wav" pad 0.02 0.05
to_mp3 "$work/msg.wav" "$out/msg.mp3"

# reminder.mp3: a clear alert, three rising triads of square tones.
for note in 0 1 2; do
    freq=$(echo "880 1047 1319" | cut -d' ' -f$((note + 1)))
    sox -R -n -r $rate -c 1 "$work/r$note.wav" synth 0.11 square "$freq" vol 0.4 \
        fade 0.005 0.11 0.02 pad 0 0.03
done
sox -R "$work/r0.wav" "$work/r1.wav" "$work/r2.wav" "$work/triad.wav" pad 0 0.18
sox -R "$work/triad.wav" "$work/triad.wav" "$work/triad.wav" "$work/reminder.wav"
to_mp3 "$work/reminder.wav" "$out/reminder.mp3"

# dingding.mp3: two short sine beeps.
sox -R -n -r $rate -c 1 "$work/beep.wav" synth 0.14 sine 1000 fade 0.005 0.14 0.02 pad 0 0.12
sox -R "$work/beep.wav" "$work/beep.wav" "$work/dingding.wav" pad 0.02 0
to_mp3 "$work/dingding.wav" "$out/dingding.mp3"

# The voice packs: "现在是<hour>点整" for every hour.
failures=0
for hour in $(seq 0 23); do
    text="现在是$(hour_words "$hour")点整"
    for pack in vr pc; do
        if [ $pack = vr ]; then voice=$vr_voice options=$vr_options; else
            voice=$pc_voice options=$pc_options; fi
        # shellcheck disable=SC2086
        espeak-ng -v "$voice" $options -w "$work/speech.wav" "$text"
        sox -R "$work/speech.wav" "$work/trimmed.wav" silence 1 0.02 0.5% reverse \
            silence 1 0.02 0.5% reverse pad 0.05 0.15
        to_mp3 "$work/trimmed.wav" "$out/$pack/$hour.mp3"

        # Check: espeak-ng's own reading of the text holds the hour's syllables in order.
        # shellcheck disable=SC2086
        spoken=$(espeak-ng -v "$voice" $options -q -x "$text" | tr -d '0-9_|' | tr -s ' ')
        expected=$(hour_phonemes "$hour")
        case " $spoken " in
            *" s.'i. $expected t'iEn "*) ;;
            *) echo "FAIL $pack/$hour.mp3: '$spoken' lacks '$expected'" >&2
               failures=$((failures + 1)) ;;
        esac
        # Check: the MP3 decodes and is as long as the speech it was made from.
        want=$(soxi -D "$work/trimmed.wav")
        got=$(sox -R "$out/$pack/$hour.mp3" -n stat 2>&1 | awk '/^Length/ {print $3}')
        if ! awk -v a="$got" -v b="$want" 'BEGIN { exit !(a > 0.5 && a - b < 0.1 && b - a < 0.1) }'
        then
            echo "FAIL $pack/$hour.mp3: decodes to ${got:-nothing} s, made from $want s" >&2
            failures=$((failures + 1))
        fi
        printf '%-12s %-18s %5.2f s %6d bytes\n' "$pack/$hour.mp3" "$text" "$got" \
            "$(wc -c <"$out/$pack/$hour.mp3")"
    done
done

for name in msg reminder dingding; do
    got=$(sox -R "$out/$name.mp3" -n stat 2>&1 | awk '/^Length/ {print $3}')
    if [ -z "$got" ]; then
        echo "FAIL $name.mp3 does not decode" >&2
        failures=$((failures + 1))
    fi
    printf '%-12s %-18s %5.2f s %6d bytes\n' "$name.mp3" "" "${got:-0}" \
        "$(wc -c <"$out/$name.mp3")"
done

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all clips made and checked"
