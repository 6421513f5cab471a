#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds the whole system
# (benchmarks included) with the address and undefined-behaviour sanitizers
# and warnings as errors, and runs every test.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ORLO_ROOT"

orlo_install_missing
scripts/format.sh --check
orlo_build build-asan -DORLO_SANITIZE=ON -DORLO_WERROR=ON

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$ORLO_ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
ctest --output-on-failure -j"$(nproc)" "$@"
