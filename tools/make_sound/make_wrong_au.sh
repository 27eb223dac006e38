#!/usr/bin/env bash
# Makes data/wrong.au, the sound of a wrong click: two short falling tones, soft
# triangle waves with short fades so they do not click. Sun .au, 8 kHz, u-law.
set -euo pipefail
out="${1:-$(dirname "$0")/../../data/wrong.au}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
sox -n -r 8000 -c 1 "$tmp/high.wav" synth 0.12 triangle 523 fade q 0.005 0.12 0.04 vol 0.6
sox -n -r 8000 -c 1 "$tmp/gap.wav" trim 0 0.02
sox -n -r 8000 -c 1 "$tmp/low.wav" synth 0.16 triangle 392 fade q 0.005 0.16 0.08 vol 0.6
sox "$tmp/high.wav" "$tmp/gap.wav" "$tmp/low.wav" --comment "" -r 8000 -e u-law -b 8 -c 1 "$out"
