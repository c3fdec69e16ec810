#!/usr/bin/env bash
# Starts the program on the bundled sample form. Until the designer exists this shows the
# sample through the command-line tool.
set -euo pipefail
build=${1:-build}
exec "$build/bin/kovet" info examples/invoice.kvt
