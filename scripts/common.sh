# Shared by run.sh and test.sh: install what is missing, configure, build.
# Sourced, not run.

# Debian packages the build, the programs and the test suite need.
GEARPANEL_PACKAGES=(
    build-essential cmake pkg-config
    qtbase5-dev qtdeclarative5-dev
    qml-module-qtquick2 qml-module-qtquick-window2
    qtdeclarative5-dev-tools qml-module-qttest
    libphonon4qt5-dev phonon4qt5 phonon4qt5-backend-gstreamer
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libhidapi-dev libudev-dev
    libxtst-dev xdotool
    libxdamage-dev qttools5-dev-tools
    clang
    xvfb xauth
    at-spi2-core python3-pyatspi dbus-x11
    lame dpkg-dev
    fonts-wqy-microhei
)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${GEARPANEL_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir="$1"
    shift
    cmake -S . -B "$dir" "$@"
    cmake --build "$dir" -j"$(nproc)"
}
