#!/usr/bin/env bash
# Installs the Debian packages the build, tests and demo need; only the missing ones.
# Extra package names given as arguments are added to the list (make test-qt6 adds Qt 6's).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev libqt5network5 qttranslations5-l10n
    libboost-dev liblog4cxx-dev libmongoclient-dev libssl-dev openssl
    fonts-wqy-microhei xvfb x11-utils x11-apps xcompmgr libxcb1-dev libxcb-xfixes0-dev python3 libbenchmark-dev
    at-spi2-core dbus-x11 python3-pyatspi
    weston qtwayland5
    doxygen
    "$@"
)

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$pkg")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    echo "install-deps: all dependencies present"
    exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]] && command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
fi

"${sudo_cmd[@]}" apt-get update -q >/dev/null
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: installed ${missing[*]}"
