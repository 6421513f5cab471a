# Shared by the project's scripts: installing what is missing and building.
# Sourced, not run.

ORLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian 12 packages the build, the tests and the shell need.
ORLO_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
    libsqlite3-dev sqlite3 libpq-dev postgresql-15 postgresql-contrib
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-format xvfb xauth poppler-utils ccache
)

say() { printf 'orlo: %s\n' "$*"; }

# Installs the packages that are not installed yet; silent when none is missing.
orlo_install_missing() {
    local missing=()
    local p
    for p in "${ORLO_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# orlo_build DIR [cmake options...]: configures DIR and builds it. Every
# call passes every option to CMake, the defaults first and then the given
# ones, so that an existing build folder never keeps an option from an
# earlier call. With ccache installed the compiler runs through it, hashing
# paths relative to the checkout: a fresh clone in another folder (CI) hits
# what an earlier build cached.
orlo_build() {
    local dir=$1
    shift
    local launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR=$ORLO_ROOT CCACHE_NOHASHDIR=1
        launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    fi
    cmake -S "$ORLO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$launcher" \
        -DORLO_SANITIZE=OFF -DORLO_WERROR=OFF -DORLO_BUILD_TESTS=ON -DORLO_BUILD_BENCH=ON \
        "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)" -- --quiet
}
