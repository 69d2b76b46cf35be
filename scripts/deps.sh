#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Sourced by scripts/run and scripts/test; safe to run again.
set -euo pipefail

QUENBY_PACKAGES=(
    g++ cmake ninja-build pkg-config
    clang libclang-rt-14-dev
    libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools qt6-declarative-dev
    qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
    fonts-dejavu-core
)

# Node.js drives the end-to-end test. Machines that carry Node.js from
# another distribution (npm bundled inside its nodejs package) must not be
# asked for Debian's npm, which conflicts with it; so these two are judged
# by the commands, not by package names.
quenby_missing_node() {
    if ! command -v node >/dev/null 2>&1; then
        echo nodejs
    fi
    if ! command -v npm >/dev/null 2>&1; then
        echo npm
    fi
}

quenby_missing_packages() {
    local p
    for p in "${QUENBY_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            echo "$p"
        fi
    done
    quenby_missing_node
}

quenby_install_deps() {
    local missing
    missing=$(quenby_missing_packages)
    if [ -z "$missing" ]; then
        return 0
    fi
    echo "Installing: $(echo $missing)" >&2
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}
