#!/usr/bin/env bash
# Takes pictures of the desk as a user sees it: starts orlo-desk under a
# virtual X display (xvfb-run) on a scratch application folder with a
# seeded add-in store and shared database and saves PNGs of the main window
# (folder tree and patient list), a patient's form, an appointment's form,
# and the search windows: the patient finder after a search, the monthly
# recall window on December, the patient selector and a patient's history.
#   scripts/screenshots.sh [OUTDIR]   (default: build/screenshots)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"
orlo_build build
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The scratch workstation's own settings file: the add-in is listed there,
# and the user's own settings are left alone.
export ORLO_REGISTRY_FILE="$work/registry"
scripts/layout.sh "$work/app" build >/dev/null
store="$work/app/PST/12-27Orlonetv1.pst"
[ -e "$store" ] || build/src/tools/orlo store init-addin "$store" >/dev/null
build/src/tools/orlo store seed "$store" --contacts 40 --appointments 120 >/dev/null
build/src/tools/orlo db seed "$work/app/Database/Patients.mdb" --patients 40 --appointments 120 \
    --now "2026-06-15 10:00:00" >/dev/null

top="Orlo Networked V.1"
commands=$(cat <<JSON
{"cmd":"switchFolder","folder":"$top/Patients"}
{"cmd":"screenshot","file":"$out/main-patients.png"}
{"cmd":"switchFolder","folder":"$top/Scheduler"}
{"cmd":"screenshot","file":"$out/main-scheduler.png"}
{"cmd":"create","folder":"$top/Patients","properties":{"Last Name":"Okafor","First Name":"Grace","DOB":"14/02/1975","HomeTel":"01632 960123","Street1":"12 Mill Lane","City1":"Leeds","Email1":"grace@example.org","Gnote":"Prefers morning appointments."},"save":true}
{"cmd":"display","id":"new1"}
{"cmd":"screenshot","id":"new1","file":"$out/patient-form.png"}
{"cmd":"close","id":"new1"}
{"cmd":"find","folder":"$top/Scheduler","filter":"[ScheduleID] = 7"}
{"cmd":"display","id":"$((40 + 7))"}
{"cmd":"screenshot","id":"$((40 + 7))","file":"$out/appointment-form.png"}
{"cmd":"close","id":"$((40 + 7))","mode":"discard"}
{"cmd":"click","path":["&Orlo","&Patient Finder..."]}
{"cmd":"setControl","window":"frmPatientSearch","control":"Combo1","value":"City"}
{"cmd":"setControl","window":"frmPatientSearch","control":"Text1","value":"o"}
{"cmd":"clickControl","window":"frmPatientSearch","control":"Search1"}
{"cmd":"clickHeader","window":"frmPatientSearch","control":"lvwTransactions","column":2}
{"cmd":"selectRow","window":"frmPatientSearch","control":"lvwTransactions","row":2}
{"cmd":"screenshot","window":"frmPatientSearch","file":"$out/patient-finder.png"}
{"cmd":"closeWindow","window":"frmPatientSearch"}
{"cmd":"click","path":["&Orlo","Repor&ts...","&Recall Reports...","&Monthly Recall Report"]}
{"cmd":"selectRow","window":"frmRecallbyMonth","control":"lstMonths","text":"December"}
{"cmd":"screenshot","window":"frmRecallbyMonth","file":"$out/recall-by-month.png"}
{"cmd":"closeWindow","window":"frmRecallbyMonth"}
{"cmd":"call","addin":"OrlonetPROv1.Connect","method":"displaysearchOrlo3"}
{"cmd":"setControl","window":"frmSchedulePatientSearch","control":"Text1","value":"W"}
{"cmd":"screenshot","window":"frmSchedulePatientSearch","file":"$out/patient-selector.png"}
{"cmd":"closeWindow","window":"frmSchedulePatientSearch"}
{"cmd":"display","id":"7"}
{"cmd":"call","addin":"OrlonetPROv1.Connect","method":"DisplayPatientHistory"}
{"cmd":"screenshot","window":"frmPHistory","file":"$out/patient-history.png"}
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
