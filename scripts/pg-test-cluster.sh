#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the test suite: `start DIR` makes a new
# cluster in DIR (initdb), serving only a Unix socket in DIR (no TCP) with
# durability off, and prints the URI the tests use; `stop DIR` stops it and
# removes DIR. Settings given after DIR as NAME=VALUE are passed to the
# server (the benchmark gives the memory a clinic's server is set up with).
# initdb and the server refuse to run as root, so as root they run as the
# `postgres` system user.
set -euo pipefail

action=${1:?usage: pg-test-cluster.sh start|stop DIR [NAME=VALUE ...]}
dir=${2:?usage: pg-test-cluster.sh start|stop DIR [NAME=VALUE ...]}
shift 2
settings=""
for setting in "$@"; do
    [[ $setting =~ ^[a-z_]+=[A-Za-z0-9._]+$ ]] || { echo "orlo: not a server setting: $setting" >&2; exit 2; }
    settings+=" -c $setting"
done
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -n "$bin" ] || { echo "orlo: no PostgreSQL server installed (package postgresql-15)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

stop() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
}

case $action in
    start)
        stop
        mkdir -p "$dir"
        [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
        chmod 700 "$dir"
        as_owner "$bin/initdb" -D "$dir/data" -A trust -U orlo -E UTF8 --locale=C.UTF-8 \
            --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
        as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
            -o "-c listen_addresses='' -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200$settings" \
            start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
        echo "postgresql:///postgres?host=$dir&user=orlo"
        ;;
    stop) stop ;;
    *) echo "usage: pg-test-cluster.sh start|stop DIR [NAME=VALUE ...]" >&2; exit 2 ;;
esac
