#!/usr/bin/env bash
# The designer in a real window on a virtual X display: started on the sample invoice, the
# window shows the page (the invoice's navy bars are on the screenshot), the form file type is
# registered for the user, File > Exit closes it, and the recent files and the defaults are
# written to the user's configuration folder.
# Skipped (77) where Xvfb, xdotool or ImageMagick are missing.
set -euo pipefail

designer= source= work=
while [[ $# -gt 0 ]]; do
  case "$1" in
    --designer) designer=$2; shift 2 ;;
    --source) source=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done
for tool in Xvfb xdotool convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

rm -rf "$work"
mkdir -p "$work/config" "$work/data"
cp "$source/examples/invoice.kvt" "$work/invoice.kvt"

exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
designer_pid=
cleanup() {
  [[ -n $designer_pid ]] && kill "$designer_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
  [[ -s "$work/display" ]] && break
  sleep 0.1
done
export DISPLAY=":$(head -1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb

"$designer" "$work/invoice.kvt" >"$work/designer.log" 2>&1 &
designer_pid=$!
window=$(timeout 20 xdotool search --sync --name '^Kovet 5\.5$' | head -1)
# The first paint follows the window.
sleep 2
import -window "$window" "$work/shot.png"
navy=$(convert "$work/shot.png" -fuzz 4% -fill white +opaque '#1F3A5F' -fill black -opaque '#1F3A5F' \
  -negate -format '%[fx:int(mean*w*h)]' info:)
if (( navy < 2000 )); then
  echo "the page does not show: $navy navy pixels on $work/shot.png" >&2
  exit 1
fi

xdotool windowfocus --sync "$window"
xdotool key --window "$window" alt+f
sleep 0.5
xdotool key x
for _ in $(seq 100); do
  kill -0 "$designer_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$designer_pid" 2>/dev/null; then
  echo "File > Exit did not close the designer" >&2
  exit 1
fi
wait "$designer_pid" || { echo "the designer failed:" >&2; cat "$work/designer.log" >&2; exit 1; }
designer_pid=
grep -qx "$work/invoice.kvt" <(tr -d '\r' < "$work/config/kovet/history.dat")
test "$(stat -c %s "$work/config/kovet/kovet.def")" -eq 1060
grep -q "^Exec=.*kovet-designer" "$work/data/applications/kovet-designer.desktop"
test -f "$work/data/mime/packages/kovet-form.xml"
echo "the designer showed the invoice, registered .kvt forms and wrote history.dat and kovet.def on exit"
