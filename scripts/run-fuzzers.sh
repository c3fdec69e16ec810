#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for the given number of seconds, each on a corpus
# seeded from fuzz/corpus/<name>, the sample forms and the bitmaps, Delphi forms and outside metafiles of
# tests/data (for the record fuzzer the metafiles' records alone, behind the header; for the PDF
# data reader also the invoice as a fillable PDF form). Fails on the first finding.
set -euo pipefail
build=$1
seconds=${2:-60}
status=0
for fuzzer in "$build"/bin/fuzz_*; do
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  cp -n examples/*.kvt "$corpus"/ 2>/dev/null || true
  cp -n tests/data/bmp/*.bmp "$corpus"/ 2>/dev/null || true
  cp -n tests/data/dfm/*.dfm "$corpus"/ 2>/dev/null || true
  for emf in tests/data/emf/*.emf; do
    if [ "$name" = fuzz_emfrecord ]; then
      header=$(od -An -t u4 -j 4 -N 4 "$emf" | tr -d ' ')
      tail -c +$((header + 1)) "$emf" > "$corpus/$(basename "$emf").records"
    else
      cp -n "$emf" "$corpus"/
    fi
  done
  if [ "$name" = fuzz_pdfdata ] && [ ! -e "$corpus/invoice.pdf" ]; then
    "$build"/bin/kovet render examples/invoice.kvt --fillable -o "$corpus/invoice.pdf" || true
  fi
  echo "== $name: ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/$name-" "$corpus" > "$build/$name.log" 2>&1; then
    tail -n 40 "$build/$name.log"
    echo "== $name: FAILED (log: $build/$name.log)"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$build/$name.log" || true
  fi
done
exit $status
