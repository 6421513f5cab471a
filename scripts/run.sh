#!/usr/bin/env bash
# Installs what is missing, builds Orlo, lays out an application folder with
# the embedded default database and starts a workstation on it.
#   ORLO_APPDIR  the application folder (default: ./appdir)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

orlo_install_missing
orlo_build build
appdir=${ORLO_APPDIR:-$ORLO_ROOT/appdir}
scripts/layout.sh "$appdir" build
say "application folder laid out in $appdir"
say "the desk shell is not built yet; the platform libraries and tools are in build/"
