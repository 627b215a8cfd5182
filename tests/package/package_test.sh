#!/usr/bin/env bash
# Builds the .deb from the build tree, unpacks it into a scratch root and runs the installed
# molarix-admin from there: the package holds what a clinic's workstation needs and the installed
# programs find their data in the installed place.
#   package_test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
BUILD=$1
SCRATCH=$2/package
rm -rf "$SCRATCH"
mkdir -p "$SCRATCH/pkg" "$SCRATCH/root"
fail() { echo "package test: $*" >&2; exit 1; }

cpack -G DEB -B "$SCRATCH/pkg" --config "$BUILD/CPackConfig.cmake" >"$SCRATCH/cpack.log" 2>&1 || { cat "$SCRATCH/cpack.log" >&2; fail "cpack failed"; }
DEB=$(ls "$SCRATCH"/pkg/molarix_*_amd64.deb 2>/dev/null | head -1)
[ -n "$DEB" ] || fail "no molarix_<version>_amd64.deb was made"
dpkg-deb -x "$DEB" "$SCRATCH/root"
ROOT=$SCRATCH/root

for f in usr/bin/molarix usr/bin/molarix-admin usr/share/applications/molarix.desktop \
         usr/share/icons/hicolor/48x48/apps/molarix.png usr/share/icons/hicolor/scalable/apps/molarix.svg \
         usr/share/man/man1/molarix-admin.1.gz usr/share/molarix/reports/journal.xml; do
  [ -e "$ROOT/$f" ] || fail "$f is missing from the package"
done
if [ -d "$BUILD/bin/images" ]; then
  [ "$(ls "$ROOT/usr/share/molarix/images" | wc -l)" -gt 0 ] || fail "the chart pictures are missing"
fi
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for d in libfbclient2 firebird3.0-server-core firebird3.0-utils qt6-translations-l10n fonts-dejavu-core libqt6widgets6; do
  grep -q "$d" <<<"$DEPENDS" || fail "Depends lacks $d: $DEPENDS"
done
grep -q '^Exec=molarix$' "$ROOT/usr/share/applications/molarix.desktop" || fail "the desktop file does not start molarix"

ADMIN="$ROOT/usr/bin/molarix-admin"
export QT_QPA_PLATFORM=offscreen
"$ADMIN" create-db "$SCRATCH/klinika.fdb" >"$SCRATCH/create.log" 2>&1 || { cat "$SCRATCH/create.log" >&2; fail "the installed create-db failed"; }
[ -s "$SCRATCH/klinika.fdb" ] || fail "create-db made no database"
printf 'IEVDAT;IEVLAIKS;LIETOTAJS;DARBIBA;TABULA;ISN_BAZE;NUMURS;DATUMS;PIEZIMES;LOGON_START\n2026-11-16;09:15:00;ANNA;Jauns;Pacienti;5;;;;\n' >"$SCRATCH/rows.csv"
"$ADMIN" render-report "$ROOT/usr/share/molarix/reports/journal.xml" "$SCRATCH/rows.csv" "$SCRATCH/out.pdf" >"$SCRATCH/render.log" 2>&1 \
  || { cat "$SCRATCH/render.log" >&2; fail "the installed render-report failed"; }
[ -s "$SCRATCH/out.pdf" ] || fail "render-report made no PDF"
"$ADMIN" render-report journal "$SCRATCH/rows.csv" "$SCRATCH/out.csv" >>"$SCRATCH/render.log" 2>&1 || fail "the built-in layout did not render"
grep -q "ANNA" "$SCRATCH/out.csv" || fail "the CSV lacks the row"
echo "package test: $(basename "$DEB") ok"
