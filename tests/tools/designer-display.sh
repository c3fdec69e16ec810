# Sourced by the designer's real-window checks: a virtual X display of its own in $work, the
# user's folders there too, the designer started on it (start_designer ARGS...) and stopped
# with the display when the script ends. Sets $window to the main window's id.

mkdir -p "$work/config" "$work/data"
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
designer_pid=
stop_display() {
  [[ -n $designer_pid ]] && kill "$designer_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap stop_display EXIT
for _ in $(seq 50); do
  [[ -s "$work/display" ]] && break
  sleep 0.1
done
export DISPLAY=":$(head -1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb

start_designer() {
  "$designer" "$@" >"$work/designer.log" 2>&1 &
  designer_pid=$!
  window=$(timeout 20 xdotool search --sync --name '^Kovet 5\.5$' | head -1)
}

# File > Exit, and the designer's end awaited: it must end by itself, and well.
exit_designer() {
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
}
