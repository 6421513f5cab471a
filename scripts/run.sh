#!/usr/bin/env bash
# Installs what is missing, builds Orlo, lays out an application folder with
# the embedded default database and starts a workstation (the desk shell
# orlo-desk) on it: on the display when there is one, else offscreen.
#   ORLO_APPDIR          the application folder (default: ./appdir)
#   ORLO_REGISTRY_FILE   the per-user settings file (default: ~/.config/orlo/registry)
#   ORLO_PROFILE         the desk profile, the stores it opens (default: Orlo)
# Further arguments go to orlo-desk (see orlo-desk --help).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

orlo_install_missing
orlo_build build
appdir=${ORLO_APPDIR:-$ORLO_ROOT/appdir}
scripts/layout.sh "$appdir" build
say "application folder laid out in $appdir"

args=(--appdir "$appdir")
# Until the add-in is registered to open its own store, the desk opens it.
store="$appdir/PST/12-27Orlonetv1.pst"
if [ ! -e "$appdir/liborlo.so" ] && [ -e "$store" ]; then
    args+=(--store "$store")
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    say "no display: starting orlo-desk offscreen (stop it with Ctrl-C)"
else
    say "starting orlo-desk on ${WAYLAND_DISPLAY:-$DISPLAY}"
fi
exec build/src/app/orlo-desk "${args[@]}" "$@"
