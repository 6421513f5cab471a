#!/usr/bin/env bash
# Takes pictures of the desk as a user sees it: starts orlo-desk under a
# virtual X display (xvfb-run) on a scratch application folder with a
# seeded add-in store and saves PNGs of the main window (folder tree and
# patient list), a patient's form and an appointment's form.
#   scripts/screenshots.sh [OUTDIR]   (default: build/screenshots)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"
orlo_build build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
scripts/layout.sh "$work/app" build >/dev/null
store="$work/app/PST/12-27Orlonetv1.pst"
[ -e "$store" ] || build/src/tools/orlo store init-addin "$store" >/dev/null
build/src/tools/orlo store seed "$store" --contacts 40 --appointments 120 >/dev/null

top="Orlo Networked V.1"
commands=$(cat <<JSON
{"cmd":"switchFolder","folder":"$top/Patients"}
{"cmd":"screenshot","file":"$out/main-patients.png"}
{"cmd":"switchFolder","folder":"$top/Scheduler"}
{"cmd":"screenshot","file":"$out/main-scheduler.png"}
{"cmd":"create","folder":"$top/Patients","properties":{"PatientID":"41","Last Name":"Okafor","First Name":"Grace","DOB":"14/02/1975","HomeTel":"01632 960123","Street1":"12 Mill Lane","City1":"Leeds","Email1":"grace@example.org","Gnote":"Prefers morning appointments."},"save":true}
{"cmd":"display","id":"new1"}
{"cmd":"screenshot","id":"new1","file":"$out/patient-form.png"}
{"cmd":"close","id":"new1"}
{"cmd":"find","folder":"$top/Scheduler","filter":"[ScheduleID] = 7"}
{"cmd":"display","id":"$((40 + 7))"}
{"cmd":"screenshot","id":"$((40 + 7))","file":"$out/appointment-form.png"}
{"cmd":"quit"}
JSON
)
say "running orlo-desk under xvfb-run"
echo "$commands" | xvfb-run -a -s "-screen 0 1280x900x24" \
    build/src/app/orlo-desk --automation --appdir "$work/app" --registry "$work/registry" \
    --store "$store" --locale uk 2>"$work/stderr" | tee "$work/replies" >/dev/null
if grep -q '"ok":false' "$work/replies"; then
    cat "$work/replies" >&2
    exit 1
fi
say "screenshots in $out:"
ls -1 "$out"/*.png
