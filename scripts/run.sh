#!/usr/bin/env bash
# Starts the program on the bundled sample form. Until the designer exists, the run-time
# widget's demo shows the sample to be filled in when there is a display; without one the
# sample goes through the command-line tool: its records, and its page rendered as a picture.
set -euo pipefail
build=${1:-build}
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$build/bin/fill-demo" examples/invoice.kvt
fi
echo "No display: showing the sample form through the command-line tool."
"$build/bin/kovet" info examples/invoice.kvt
"$build/bin/kovet" render examples/invoice.kvt -o "$build/invoice.png"
echo
echo "The sample page is rendered in $build/invoice.png"
