#!/usr/bin/env bash
# Starts the program on the bundled sample form. Until the designer exists this shows the
# sample through the command-line tool: its records, and its page rendered as a picture.
set -euo pipefail
build=${1:-build}
"$build/bin/kovet" info examples/invoice.kvt
"$build/bin/kovet" render examples/invoice.kvt -o "$build/invoice.png"
echo
echo "The sample page is rendered in $build/invoice.png"
