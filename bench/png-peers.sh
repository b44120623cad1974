#!/usr/bin/env bash
# PNG of whole desktops, side by side: for each picture given, a private Xvfb of
# its size shows it on the root window, and lumora's one-shot capture, scrot,
# ImageMagick's import and maim each write a PNG of the screen, a fresh process
# each, run alternately RUNS times. Prints one row per picture: the median time
# and CPU time and the file size of each, lumora's ratios to the fastest peer and
# to the smallest peer file, and whether lumora's file decodes to the picture.
#   png-peers.sh LUMORA PICTURE.png...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/alternate.sh"
source "$here/../scripts/xvfb-lib.sh"
lumora=$1
shift
runs=${RUNS:-7}
out=$(mktemp -d)
XVFB_PID=
trap 'stop_pid "$XVFB_PID"; rm -rf "$out"' EXIT
export LUMORA_REGISTRY="$out/registry.reg"

names=(lumora scrot import maim)
commands=(
  "$lumora --capture --delay 0 --output $out/lumora.png"
  "scrot -o $out/scrot.png"
  "import -window root $out/import.png"
  "maim $out/maim.png"
)
printf '%-26s %-7s %9s %9s %10s\n' "picture ($runs runs)" tool "median ms" "cpu ms" bytes
for picture in "$@"; do
  name=$(basename "$picture" .png)
  start_xvfb "$(identify -format '%wx%h' "$picture")"
  export DISPLAY=$XVFB_DISPLAY
  # display(1) reports failure after setting the root window; the picture is there all the same.
  display -window root "$picture" 2>/dev/null || true
  "$lumora" --capture --delay 0 --output "$out/warm.png" >/dev/null 2>&1 || true  # the first run writes the store
  unset times cputimes m cpu
  alternate "$runs"
  declare -A s
  for n in "${names[@]}"; do
    s[$n]=$(stat -c %s "$out/$n.png")
    printf '%-26s %-7s %9s %9s %10s\n' "$name" "$n" "${m[$n]}" "${cpu[$n]}" "${s[$n]}"
  done
  exact=$(compare -metric AE "$out/lumora.png" "$picture" null: 2>&1 || true)
  awk -v n="$name" -v l="${m[lumora]}" -v lc="${cpu[lumora]}" -v ls="${s[lumora]}" -v e="$exact" \
    -v a="${m[scrot]}" -v b="${m[import]}" -v c="${m[maim]}" \
    -v ac="${cpu[scrot]}" -v bc="${cpu[import]}" -v cc="${cpu[maim]}" \
    -v sa="${s[scrot]}" -v sb="${s[import]}" -v sc="${s[maim]}" 'BEGIN {
      fast = a; if (b < fast) fast = b; if (c < fast) fast = c
      fastc = ac; if (bc < fastc) fastc = bc; if (cc < fastc) fastc = cc
      small = sa; if (sb < small) small = sb; if (sc < small) small = sc
      printf "%-26s lumora / fastest peer: time %.2f, cpu %.2f; / smallest peer file: size %.4f; pixels differing from the picture: %s\n",
        n, l / fast, lc / fastc, ls / small, e }'
  stop_pid "$XVFB_PID"
  XVFB_PID=
done
