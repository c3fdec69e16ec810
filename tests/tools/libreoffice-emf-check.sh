#!/usr/bin/env bash
# Proves that a second outside reader, LibreOffice, reads our EMF export as we mean it: the
# sample invoice is exported as EMF, LibreOffice converts it to PDF, and the PDF must hold the
# form's texts (read back with pdftotext) on one page.
#
# libreoffice-emf-check.sh --kovet KOVET --work DIR
#
# Exits 77 (skipped) when LibreOffice or poppler's pdftotext is missing.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
kovet="" work=""
while [ $# -gt 0 ]; do
  case "$1" in
    --kovet) kovet="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) echo "usage: libreoffice-emf-check.sh --kovet KOVET --work DIR" >&2; exit 2 ;;
  esac
done
if [ -z "$kovet" ] || [ -z "$work" ]; then
  echo "usage: libreoffice-emf-check.sh --kovet KOVET --work DIR" >&2
  exit 2
fi
for tool in soffice pdftotext pdfinfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "libreoffice-emf-check: skipped: $tool is not installed"
    exit 77
  fi
done

rm -rf "$work" && mkdir -p "$work"
work="$(cd "$work" && pwd)"
"$kovet" render "$source_dir/examples/invoice.kvt" -o "$work/invoice.emf"
# A profile of its own, so that the check neither needs nor touches a user's settings.
soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf --outdir "$work" \
  "$work/invoice.emf" >"$work/soffice.log" 2>&1
if [ ! -s "$work/invoice.pdf" ]; then
  echo "libreoffice-emf-check: LibreOffice wrote no PDF; see $work/soffice.log"
  exit 1
fi

pages=$(pdfinfo "$work/invoice.pdf" | sed -n 's/^Pages: *//p')
text=$(pdftotext "$work/invoice.pdf" -)
status=0
if [ "$pages" != "1" ]; then
  echo "libreoffice-emf-check: expected one page, got $pages"
  status=1
fi
for expected in "INVOICE" "Northwind Supply Co." "BILL TO" "Unit price" "Total due" "Thank you!" \
  "Remit to: Northwind Supply Co., account 0042-7781-33"; do
  if ! grep -qF -- "$expected" <<<"$text"; then
    echo "libreoffice-emf-check: LibreOffice's reading lacks \"$expected\""
    status=1
  fi
done
exit $status
