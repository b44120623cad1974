#!/usr/bin/env bash
# Draws a desktop-like picture for the benchmarks: a gradient wallpaper, a panel,
# desktop icons, a terminal full of text, a document window with paragraphs,
# buttons and a sidebar, and an image viewer showing a photo-like picture.
# The same seed gives the same picture every time.
#   desktop-picture.sh WIDTHxHEIGHT OUT.png
set -euo pipefail
geometry=$1
out=$2
width=${geometry%x*}
height=${geometry#*x}
scale=$(awk -v w="$width" 'BEGIN { printf "%.4f", w / 1920 }')
s() { awk -v v="$1" -v k="$scale" 'BEGIN { printf "%d", v * k + 0.5 }'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mvg=$work/desktop.mvg
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
sans=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
bold=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf

words=(lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor incididunt ut labore
  et dolore magna aliqua enim ad minim veniam quis nostrud exercitation ullamco laboris nisi aliquip ex ea
  commodo consequat duis aute irure in reprehenderit voluptate velit esse cillum fugiat nulla pariatur)
# Bash draws new random seeds in subshells, so the words are picked here, in
# the script's own shell, into $text.
RANDOM=7
sentence() {
  local n=$1 i
  text=""
  for ((i = 0; i < n; i++)); do text+="${words[RANDOM % ${#words[@]}]} "; done
  text=${text% }
}

# A window: shadow, frame, title bar with its title and three buttons.
window() {
  local x=$1 y=$2 w=$3 h=$4 title=$5 body=$6
  local x2=$((x + w)) y2=$((y + h)) t=$(s 30)
  cat >>"$mvg" <<EOF
fill '#00000040' rectangle $((x + $(s 6))),$((y + $(s 6))) $((x2 + $(s 6))),$((y2 + $(s 6)))
fill '#d6d6d6' stroke '#7a7a7a' stroke-width 1 rectangle $x,$y $x2,$y2
stroke none fill '#3c4a5c' rectangle $((x + 1)),$((y + 1)) $((x2 - 1)),$((y + t))
fill '$body' rectangle $((x + 2)),$((y + t + 1)) $((x2 - 2)),$((y2 - 2))
font '$bold' font-size $(s 15) fill white text $((x + $(s 10))),$((y + $(s 21))) '$title'
fill '#e06c5c' circle $((x2 - $(s 18))),$((y + t / 2)) $((x2 - $(s 12))),$((y + t / 2))
fill '#e0c05c' circle $((x2 - $(s 40))),$((y + t / 2)) $((x2 - $(s 34))),$((y + t / 2))
fill '#6cc060' circle $((x2 - $(s 62))),$((y + t / 2)) $((x2 - $(s 56))),$((y + t / 2))
EOF
}

: >"$mvg"
# Panel with menu names and a clock.
cat >>"$mvg" <<EOF
fill '#202428' rectangle 0,0 $width,$(s 28)
font '$sans' font-size $(s 15) fill '#e8e8e8'
text $(s 12),$(s 19) 'Anwendungen    Orte    System'
text $((width - $(s 150))),$(s 19) 'Mo 6. Dez, 14:05'
EOF
# Desktop icons down the left edge.
for i in 0 1 2 3 4; do
  y=$(s $((70 + i * 110)))
  colours=('#5a8fd0' '#d0a040' '#70b070' '#c05a5a' '#8a70c0')
  cat >>"$mvg" <<EOF
fill '${colours[i]}' roundrectangle $(s 30),$y $(s 78),$((y + $(s 48))) $(s 6),$(s 6)
font '$sans' font-size $(s 13) fill white text $(s 22),$((y + $(s 68))) 'Ordner $((i + 1))'
EOF
done

# Terminal: light grey monospace text on near-black, a prompt in green.
tx=$(s 130) ty=$(s 70) tw=$(s 860) th=$(s 560)
window "$tx" "$ty" "$tw" "$th" 'Terminal - bash' '#1e1e1e'
line=$(s 18)
for ((r = 0; (r + 3) * line < th - $(s 40); r++)); do
  y=$((ty + $(s 52) + r * line))
  if ((r % 6 == 0)); then
    echo "font '$mono' font-size $(s 14) fill '#8ae234' text $((tx + $(s 10))),$y 'user@host:~/projekte\$ make -j2 test'" >>"$mvg"
  else
    sentence $((4 + RANDOM % 9))
    echo "font '$mono' font-size $(s 14) fill '#d3d7cf' text $((tx + $(s 10))),$y '$text'" >>"$mvg"
  fi
done

# Document window: sidebar, toolbar buttons, heading and paragraphs.
dx=$(s 700) dy=$(s 330) dw=$(s 1120) dh=$(s 660)
window "$dx" "$dy" "$dw" "$dh" 'Bericht.odt - Textverarbeitung' '#ffffff'
cat >>"$mvg" <<EOF
fill '#eef0f3' rectangle $((dx + 2)),$((dy + $(s 31))) $((dx + $(s 220))),$((dy + dh - 2))
fill '#f6f6f6' rectangle $((dx + $(s 221))),$((dy + $(s 31))) $((dx + dw - 2)),$((dy + $(s 70)))
EOF
for b in 0 1 2 3 4 5; do
  bx=$((dx + $(s $((236 + b * 92)))))
  cat >>"$mvg" <<EOF
fill '#ffffff' stroke '#b0b0b0' roundrectangle $bx,$((dy + $(s 38))) $((bx + $(s 82))),$((dy + $(s 64))) $(s 4),$(s 4)
stroke none font '$sans' font-size $(s 13) fill '#303030' text $((bx + $(s 12))),$((dy + $(s 56))) 'Knopf $((b + 1))'
EOF
done
for r in $(seq 0 11); do
  echo "font '$sans' font-size $(s 14) fill '#404850' text $((dx + $(s 16))),$((dy + $(s $((100 + r * 26))))) 'Kapitel $((r + 1))'" >>"$mvg"
done
echo "font '$bold' font-size $(s 24) fill '#101010' text $((dx + $(s 250))),$((dy + $(s 112))) 'Quartalsbericht'" >>"$mvg"
for ((r = 0; r < 26; r++)); do
  y=$((dy + $(s $((150 + r * 19)))))
  ((r % 7 == 6)) && continue  # a blank line between paragraphs
  sentence $((11 + RANDOM % 4))
  echo "font '$sans' font-size $(s 15) fill '#202020' text $((dx + $(s 250))),$y '$text'" >>"$mvg"
done

# Image viewer with a photo-like picture.
vx=$(s 1060) vy=$(s 60) vw=$(s 760) vh=$(s 420)
window "$vx" "$vy" "$vw" "$vh" 'Bildbetrachter - urlaub.jpg' '#2b2b2b'
convert -seed 11 -size "$((vw - $(s 40)))x$((vh - $(s 70)))" plasma:fractal -blur 0x1 "$work/photo.png"

convert -size "${width}x${height}" gradient:'#2d5277-#6c93b4' -draw "$(cat "$mvg")" \
  "$work/photo.png" -geometry "+$((vx + $(s 20)))+$((vy + $(s 50)))" -composite \
  -depth 8 -type TrueColor "PNG24:$out"
