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
mkdir -p "$work"
cp "$source/examples/invoice.kvt" "$work/invoice.kvt"
# shellcheck source=designer-display.sh
source "$(dirname "$0")/designer-display.sh"
start_designer "$work/invoice.kvt"
# The first paint follows the window.
sleep 2
import -window "$window" "$work/shot.png"
navy=$(convert "$work/shot.png" -fuzz 4% -fill white +opaque '#1F3A5F' -fill black -opaque '#1F3A5F' \
  -negate -format '%[fx:int(mean*w*h)]' info:)
if (( navy < 2000 )); then
  echo "the page does not show: $navy navy pixels on $work/shot.png" >&2
  exit 1
fi

exit_designer
grep -qx "$work/invoice.kvt" <(tr -d '\r' < "$work/config/kovet/history.dat")
test "$(stat -c %s "$work/config/kovet/kovet.def")" -eq 1060
grep -q "^Exec=.*kovet-designer" "$work/data/applications/kovet-designer.desktop"
test -f "$work/data/mime/packages/kovet-form.xml"
echo "the designer showed the invoice, registered .kvt forms and wrote history.dat and kovet.def on exit"
