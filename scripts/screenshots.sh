#!/usr/bin/env bash
# Takes pictures of the desk as a user sees it: starts orlo-desk under a
# virtual X display (xvfb-run) on a scratch application folder with a
# seeded add-in store and shared database and saves PNGs of the main window
# (the patient list, searched; the Scheduler's calendar by week and by day,
# and its list), every page of a patient's and of an appointment's form,
# and the search windows: the patient finder after a search, the monthly
# recall window on December, the patient selector and a patient's history.
# The items are named by the ids the desk's replies give, as a user of the
# automation channel would name them.
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

say "running orlo-desk under xvfb-run"
coproc DESK {
    xvfb-run -a -s "-screen 0 1280x900x24" \
        build/src/app/orlo-desk --automation --appdir "$work/app" --registry "$work/registry" \
        --store "$store" --locale uk 2>"$work/stderr"
}
# send JSON: writes one command, reads its reply into $reply; a failure ends the script.
send() {
    printf '%s\n' "$1" >&"${DESK[1]}"
    if ! IFS= read -r reply <&"${DESK[0]}"; then
        echo "orlo-desk ended before it answered $1" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
    case $reply in
        *'"ok":true'*) ;;
        *) echo "$1 -> $reply" >&2; exit 1 ;;
    esac
}
# The "id" of the last reply.
reply_id() {
    sed -n 's/.*"id":"\([^"]*\)".*/\1/p' <<<"$reply"
}

top="Orlo Networked V.1"
send '{"cmd":"switchFolder","folder":"'"$top"'/Patients"}'
send '{"cmd":"screenshot","file":"'"$out"'/main-patients.png"}'
send '{"cmd":"setControl","window":"MainWindow","control":"QuickSearch","value":"smi"}'
send '{"cmd":"screenshot","file":"'"$out"'/main-patients-search.png"}'
# A busy week of the calendar: visits of every status, two of them at once.
week="2026-06-15"
for visit in "15T09:00:00|15T09:30:00|Okafor|Grace|Annual review|BOOKED" \
             "15T09:15:00|15T10:00:00|Nowak|Piotr|Fitting|CONFIRMED" \
             "15T11:00:00|15T11:30:00|Evans|Rhys|Check-up|ATTENDED" \
             "16T14:00:00|16T15:00:00|Haddad|Lina|New patient|BOOKED" \
             "17T10:30:00|17T11:00:00|Smith|Joan|Recall|NO SHOW" \
             "18T08:30:00|18T09:00:00|Brown|Alex|Follow-up|CANCELLED" \
             "19T16:00:00|19T16:30:00|Okafor|Grace|Results|"; do
    IFS='|' read -r from to last first reason status <<<"$visit"
    send '{"cmd":"create","folder":"'"$top"'/Scheduler","properties":{"Start":{"date":"2026-06-'"$from"'"},"End":{"date":"2026-06-'"$to"'"},"LNAME":"'"$last"'","FNAME":"'"$first"'","REASON":"'"$reason"'","Status1":"'"$status"'"},"save":true}'
done
send '{"cmd":"switchFolder","folder":"'"$top"'/Scheduler"}'
send '{"cmd":"calendar","view":"calendar","span":"week","date":"'"$week"'"}'
send '{"cmd":"screenshot","file":"'"$out"'/main-calendar-week.png"}'
send '{"cmd":"calendar","span":"day","date":"'"$week"'"}'
send '{"cmd":"screenshot","file":"'"$out"'/main-calendar-day.png"}'
send '{"cmd":"calendar","view":"list"}'
send '{"cmd":"screenshot","file":"'"$out"'/main-scheduler-list.png"}'
send '{"cmd":"calendar","view":"calendar","span":"workweek"}'
send '{"cmd":"create","folder":"'"$top"'/Patients","properties":{"Last Name":"Okafor","First Name":"Grace","DOB":"14/02/1975","HomeTel":"01632 960123","Street1":"12 Mill Lane","City1":"Leeds","Email1":"grace@example.org","Gnote":"Prefers morning appointments."},"save":true}'
patient=$(reply_id)
send '{"cmd":"display","id":"'"$patient"'"}'
send '{"cmd":"screenshot","id":"'"$patient"'","file":"'"$out"'/patient-form.png"}'
send '{"cmd":"close","id":"'"$patient"'"}'
send '{"cmd":"find","folder":"'"$top"'/Scheduler","filter":"[ScheduleID] = 7"}'
appointment=$(reply_id)
if [ -z "$appointment" ]; then
    echo "the seeded appointment 7 was not found: $reply" >&2
    exit 1
fi
send '{"cmd":"display","id":"'"$appointment"'"}'
send '{"cmd":"screenshot","id":"'"$appointment"'","page":"Patient Scheduler","file":"'"$out"'/appointment-form.png"}'
send '{"cmd":"screenshot","id":"'"$appointment"'","page":"Charges","file":"'"$out"'/appointment-charges.png"}'
send '{"cmd":"close","id":"'"$appointment"'","mode":"discard"}'

finder=frmPatientSearch
send '{"cmd":"click","path":["&Orlo","&Patient Finder..."]}'
send '{"cmd":"setControl","window":"'$finder'","control":"Combo1","value":"City"}'
send '{"cmd":"setControl","window":"'$finder'","control":"Text1","value":"o"}'
send '{"cmd":"clickControl","window":"'$finder'","control":"Search1"}'
send '{"cmd":"clickHeader","window":"'$finder'","control":"lvwTransactions","column":2}'
send '{"cmd":"selectRow","window":"'$finder'","control":"lvwTransactions","row":2}'
send '{"cmd":"screenshot","window":"'$finder'","file":"'"$out"'/patient-finder.png"}'
send '{"cmd":"closeWindow","window":"'$finder'"}'
send '{"cmd":"click","path":["&Orlo","Repor&ts...","&Recall Reports...","&Monthly Recall Report"]}'
send '{"cmd":"selectRow","window":"frmRecallbyMonth","control":"lstMonths","text":"December"}'
send '{"cmd":"screenshot","window":"frmRecallbyMonth","file":"'"$out"'/recall-by-month.png"}'
send '{"cmd":"closeWindow","window":"frmRecallbyMonth"}'
send '{"cmd":"call","addin":"OrlonetPROv1.Connect","method":"displaysearchOrlo3"}'
send '{"cmd":"setControl","window":"frmSchedulePatientSearch","control":"Text1","value":"W"}'
send '{"cmd":"screenshot","window":"frmSchedulePatientSearch","file":"'"$out"'/patient-selector.png"}'
send '{"cmd":"closeWindow","window":"frmSchedulePatientSearch"}'
# A seeded patient's history: one with visits.
send '{"cmd":"find","folder":"'"$top"'/Patients","filter":"[PatientID] = 7"}'
seeded=$(reply_id)
send '{"cmd":"display","id":"'"$seeded"'"}'
send '{"cmd":"call","addin":"OrlonetPROv1.Connect","method":"DisplayPatientHistory"}'
send '{"cmd":"screenshot","window":"frmPHistory","file":"'"$out"'/patient-history.png"}'
# The settings dialog after an edit: Apply enabled, the address box off.
send '{"cmd":"click","path":["&Orlo","&Settings..."]}'
send '{"cmd":"clickControl","window":"frmSettings","control":"chkRefresh"}'
send '{"cmd":"screenshot","window":"frmSettings","file":"'"$out"'/settings.png"}'
send '{"cmd":"closeWindow","window":"frmSettings"}'
send '{"cmd":"quit"}'
[ -z "${DESK_PID:-}" ] || wait "$DESK_PID" || true
say "screenshots in $out:"
ls -1 "$out"/*.png
