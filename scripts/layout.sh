#!/usr/bin/env bash
# Lays out an application folder: the add-in library, PST/ with the add-in's
# item store, META/ with empty unload lists and the scratch database
# temp.mdb, logs/, Help/ and Database/ with an empty shared database
# Patients.mdb. Existing files are kept, so it is safe to run again on a
# folder in use.
#   scripts/layout.sh APPDIR [BUILD_DIR]
set -euo pipefail
appdir=${1:?usage: layout.sh APPDIR [BUILD_DIR]}
build=${2:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$appdir"/{PST,META,logs,Help,Database}
for f in UNLOADP.log UNLOADS.log; do
    [ -e "$appdir/META/$f" ] || : > "$appdir/META/$f"
done
if [ -f "$root/$build/src/addin/liborlo.so" ]; then
    cp -u "$root/$build/src/addin/liborlo.so" "$appdir/"
fi
# The add-in's item store and the databases, made by the admin tool when it
# has been built; it never overwrites a file.
store="$appdir/PST/12-27Orlonetv1.pst"
orlo="$root/$build/src/tools/orlo"
if [ -x "$orlo" ]; then
    [ -e "$store" ] || "$orlo" store init-addin "$store"
    [ -e "$appdir/Database/Patients.mdb" ] || "$orlo" db init "$appdir/Database/Patients.mdb" >/dev/null
    [ -e "$appdir/META/temp.mdb" ] || "$orlo" db init-scratch "$appdir/META/temp.mdb" >/dev/null
else
    echo "layout.sh: $orlo is not built; the store and databases were not created" >&2
fi
