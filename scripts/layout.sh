#!/usr/bin/env bash
# Lays out an application folder: the add-in library, PST/ with the add-in's
# item store, META/ with empty unload lists and the scratch database
# temp.mdb, logs/, Help/ and Database/ with an empty shared database
# Patients.mdb; then lists the add-in library in the desk's add-in list of
# the per-user settings file (ORLO_REGISTRY_FILE, or the user's own).
# Existing files are kept, so it is safe to run again on a folder in use.
#   scripts/layout.sh APPDIR [BUILD_DIR]   (BUILD_DIR relative to the
#                                          source tree, or absolute)
set -euo pipefail
appdir=${1:?usage: layout.sh APPDIR [BUILD_DIR]}
build=${2:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case $build in
    /*) builddir=$build ;;
    *) builddir=$root/$build ;;
esac
mkdir -p "$appdir"/{PST,META,logs,Help,Database}
for f in UNLOADP.log UNLOADS.log; do
    [ -e "$appdir/META/$f" ] || : > "$appdir/META/$f"
done
# The help pages the windows' "Help" buttons show.
for f in "$root"/help/*.html; do
    [ -e "$f" ] && cp -u "$f" "$appdir/Help/"
done
if [ -f "$builddir/src/addin/liborlo.so" ]; then
    cp -u "$builddir/src/addin/liborlo.so" "$appdir/"
fi
# The databases and the add-in's item store are made by the admin tool,
# which never overwrites a file.
tool="$builddir/src/tools/orlo"
if [ -x "$tool" ]; then
    [ -e "$appdir/Database/Patients.mdb" ] || "$tool" db init "$appdir/Database/Patients.mdb" >/dev/null
    [ -e "$appdir/META/temp.mdb" ] || "$tool" db init-scratch "$appdir/META/temp.mdb" >/dev/null
    [ -e "$appdir/PST/12-27Orlonetv1.pst" ] || "$tool" store init-addin "$appdir/PST/12-27Orlonetv1.pst" >/dev/null
    # The desk loads the add-in from this folder from now on.
    [ ! -f "$appdir/liborlo.so" ] || "$tool" addin register "$appdir" >/dev/null
else
    echo "layout.sh: $tool is not built; the databases were not created" >&2
fi
