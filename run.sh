#!/usr/bin/env bash
# Installs what is missing, builds and starts the program: on a plugged-in
# Q3 keyboard when there is one, otherwise on the emulated keyboard.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

keyboard_plugged() {
    grep -qis 'HID_ID=0003:000004D9:0000A1CD' /sys/class/hidraw/*/device/uevent
}

# gearpanel runs from the build tree, which is laid out like the installed
# program folder (build/bin/modules/...).
if keyboard_plugged; then
    echo "Q3 keyboard found: starting gearpanel on it."
    exec build/bin/gearpanel "$@"
else
    echo "No Q3 keyboard plugged in: starting gearpanel on the emulated keyboard."
    LD_PRELOAD="$PWD/build/lib/libq3emu.so" exec build/bin/gearpanel "$@"
fi
