#!/usr/bin/env bash
# Lays out an application folder: the add-in library, PST/ with the add-in's
# item store, META/ with empty unload lists and the scratch database temp.mdb,
# logs/, Help/ and Database/ with an empty shared database Patients.mdb.
# Existing files are kept, so it is safe to run again on a folder in use.
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
# The databases are made by the admin tool, which never overwrites a file.
tool="$root/$build/src/tools/orlo"
if [ -x "$tool" ]; then
    [ -e "$appdir/Database/Patients.mdb" ] || "$tool" db init "$appdir/Database/Patients.mdb" >/dev/null
    [ -e "$appdir/META/temp.mdb" ] || "$tool" db init-scratch "$appdir/META/temp.mdb" >/dev/null
else
    echo "layout.sh: $tool is not built; the databases were not created" >&2
fi
# The add-in's item store, made by the same tool.
store="$appdir/PST/12-27Orlonetv1.pst"
if [ -x "$tool" ] && [ ! -e "$store" ]; then
    "$tool" store init-addin "$store" >/dev/null
fi
