#!/bin/sh
# Makes the fourteen announcer sounds in data/sounds with espeak-ng and sox:
# a deep, slow male voice, silence trimmed at both ends, 16-bit PCM mono at
# 22050 Hz, normalised to -3 dBFS so every sound plays equally loud.
# The output is byte-for-byte reproducible (no dither, fixed voice settings).
# Needs: espeak-ng, sox (Debian: apt-get install espeak-ng sox).
set -eu

out="$(cd "$(dirname "$0")/.." && pwd)/data/sounds"
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

for tool in espeak-ng sox; do
    command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install espeak-ng sox)" >&2; exit 1; }
done

# file name, spoken text
while IFS='|' read -r name text; do
    [ -n "$name" ] || continue
    espeak-ng -v en-us+m3 -s 135 -p 25 -a 180 -w "$tmp/raw.wav" "$text"
    sox -D "$tmp/raw.wav" -r 22050 -b 16 -c 1 -e signed-integer "$tmp/voice.wav" \
        silence 1 0.02 1% reverse silence 1 0.02 1% reverse \
        gain -6 pitch -250 bass +4
    sox -D "$tmp/voice.wav" "$out/$name.wav" fade t 0.005 -0 0.03 gain -n -3
    length="$(soxi -D "$out/$name.wav")"
    awk -v s="$length" 'BEGIN { exit !(s < 2) }' || { echo "$name.wav is $length s, over 2 s" >&2; exit 1; }
    echo "$out/$name.wav: $length s"
done <<'LIST'
killing_spree|Killing spree!
rampage|Rampage!
dominating|Dominating!
unstoppable|Unstoppable!
godlike|God like!
holyshit|Holy shit!
double_kill|Double kill!
multikill|Multi kill!
ultrakill|Ultra kill!
monsterkill|Monster kill!
humiliation|Humiliation!
humiliating_defeat|Humiliating defeat!
headshot|Headshot!
headhunter|Head hunter!
LIST
