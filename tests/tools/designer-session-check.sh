#!/usr/bin/env bash
# A person's session in the designer, on a virtual X display, driven by xdotool: a frame added
# from the surface's Add menu with a click, dragged, resized by its corner handle, a field
# added, undo and redo, saved; `kovet info` then shows the objects where they were dropped.
# Skipped (77) where Xvfb, xdotool or ImageMagick are missing.
set -euo pipefail

designer= kovet= work=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --designer) designer=$2; shift 2 ;;
    --kovet) kovet=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

rm -rf "$work"
mkdir -p "$work"
form="$work/session.kvt"
# shellcheck source=designer-display.sh
source "$(dirname "$0")/designer-display.sh"
start_designer
xdotool windowmove "$window" 0 0
xdotool windowsize "$window" 1000 800
sleep 1
xdotool windowfocus --sync "$window"

pause() { sleep 0.4; }
# The surface menu's Add submenu: "a" opens it on "Text"; each Down goes one kind further.
add() {
  local downs=$1 x=$2 y=$3
  xdotool mousemove 600 600 click 3; pause
  xdotool key a; pause
  for _ in $(seq "$downs"); do xdotool key Down; done
  xdotool key Return; pause
  xdotool mousemove "$x" "$y" click 1; pause
}
drag() {
  local x=$1 y=$2 dx=$3 dy=$4
  xdotool mousemove "$x" "$y"; pause
  xdotool mousedown 1; pause
  xdotool mousemove $((x + dx / 2)) $((y + dy / 2)); pause
  xdotool mousemove $((x + dx)) $((y + dy)); pause
  xdotool mouseup 1; pause
}
save_as() {
  xdotool key ctrl+s; sleep 1
  xdotool type --delay 20 "$form"; pause
  xdotool key Return; sleep 1
}
# Left Top Width Height of the records of a kind, one line each.
objects() { "$kovet" info "$form" | awk -v kind="$1" '$3 == kind { print $5, $6, $7, $8 }'; }

add 1 300 300
save_as
read -r left top _ _ < <(objects frame)
# Where the page's corner lies on the screen.
ox=$((300 - left)) oy=$((300 - top))

drag $((300 + 50)) $((300 + 50)) 40 30                # inside the selected frame
drag $((ox + left + 40 + 100)) $((oy + top + 30 + 100)) 30 20   # its bottom-right handle
add 5 $((ox + 500)) $((oy + 600))
xdotool key alt+BackSpace; pause                      # the field goes
xdotool key ctrl+y; pause                             # and comes back
xdotool key ctrl+s; sleep 1

expected_frame="$((left + 40)) $((top + 30)) 130 120"
frame=$(objects frame)
field=$(objects field | cut -d' ' -f1,2)
if [[ "$frame" != "$expected_frame" || "$field" != "500 600" ]]; then
  echo "frame '$frame' (expected '$expected_frame'), field at '$field' (expected '500 600')" >&2
  import -window root "$work/shot.png" 2>/dev/null || true
  exit 1
fi
"$kovet" info "$form" | grep -q '"Field1"'

exit_designer
echo "a frame placed, dragged and resized, a field added, undone and redone, all saved where they were dropped"
