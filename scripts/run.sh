#!/usr/bin/env bash
# Starts the designer on the bundled sample form. Without a display the sample goes through
# the command-line tool instead: its records, and its page rendered as PNG and PDF.
set -euo pipefail
build=${1:-build}
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$build/bin/kovet-designer" examples/invoice.kvt
fi
echo "No display: the designer needs one. Showing the sample form through the command-line tool."
"$build/bin/kovet" info examples/invoice.kvt
"$build/bin/kovet" render examples/invoice.kvt -o "$build/invoice.png"
"$build/bin/kovet" render examples/invoice.kvt -o "$build/invoice.pdf"
echo
echo "The sample page is rendered in $build/invoice.png and $build/invoice.pdf"
