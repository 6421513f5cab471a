#!/usr/bin/env bash
# Renders the first page of every report to PNG for a look at what the
# clinic prints: seeds a scratch database (400 patients, 2,000
# appointments around 15 June 2026), prints each report with "orlo report"
# as of that morning, and turns page 1 of each PDF into a PNG. Then opens
# the patient list from the desk's "&Orlo" menu under a virtual X display
# and saves a picture of its preview window.
#   scripts/report-pages.sh [OUTDIR]   (default: build/report-pages)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

out=$(realpath -m "${1:-build/report-pages}")
mkdir -p "$out"
orlo_build build
tool=build/src/tools/orlo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ORLO_REGISTRY_FILE="$work/registry" scripts/layout.sh "$work/app" build >/dev/null
db="$work/app/Database/Patients.mdb"
"$tool" db seed "$db" --patients 400 --appointments 2000 --now "2026-06-15 10:00:00" >/dev/null

asof=(--db "$db" --as-of "2026-06-15 10:00:00" --locale uk)
for n in 1 2 3 4 5 6 7 8 10 11; do
    "$tool" report "DataReport$n" "${asof[@]}" --pdf "$work/DataReport$n.pdf" 2>/dev/null
done
"$tool" report DataReport9 --patient 17 "${asof[@]}" --pdf "$work/DataReport9.pdf" 2>/dev/null
"$tool" report MontlyRecall --year 2026 --month 7 "${asof[@]}" --pdf "$work/MontlyRecall.pdf" 2>/dev/null
for pdf in "$work"/*.pdf; do
    name=$(basename "$pdf" .pdf)
    pdftoppm -png -r 96 -f 1 -l 1 -singlefile "$pdf" "$out/$name"
done

say "opening the patient list from the desk's menu under xvfb-run"
commands=$(cat <<JSON
{"cmd":"click","path":["&Orlo","Repor&ts...","Patient &List Report"]}
{"cmd":"screenshot","window":"Patient List Report","file":"$out/preview-patient-list.png"}
{"cmd":"closeWindow","window":"Patient List Report"}
{"cmd":"quit"}
JSON
)
echo "$commands" | xvfb-run -a -s "-screen 0 1280x900x24" \
    build/src/app/orlo-desk --automation --appdir "$work/app" --registry "$work/registry" \
    --locale uk 2>"$work/stderr" >"$work/replies"
if grep -q '"ok":false' "$work/replies"; then
    cat "$work/replies" >&2
    exit 1
fi
say "first pages in $out:"
ls -1 "$out"/*.png
