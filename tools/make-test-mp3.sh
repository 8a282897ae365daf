#!/usr/bin/env bash
# Makes the small MP3 that the audio tests decode:
# tests/platform/audio/tone.mp3, one second of 44100 Hz stereo, a sine of
# 861.328125 Hz (40 × 44100 / 2048, the centre of 2048-point FFT bin 40) at
# half of full scale in both channels, 96 kbit/s CBR with the encoder's
# gapless tag. Needs ffmpeg (to synthesise the tone) and lame.
#
#   tools/make-test-mp3.sh [output.mp3]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/tests/platform/audio/tone.mp3"}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ffmpeg -loglevel error -f lavfi \
  -i "aevalsrc=0.5*sin(2*PI*861.328125*t)|0.5*sin(2*PI*861.328125*t):s=44100:d=1" \
  -c:a pcm_s16le "$tmp/tone.wav"
lame --quiet --resample 44.1 -b 96 --cbr "$tmp/tone.wav" "$out"
echo "wrote $out ($(stat -c %s "$out") bytes)"
