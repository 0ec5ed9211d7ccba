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
fi

# On the emulated keyboard gearpanel runs from a program folder of its own,
# build/emulated: a copy of build/bin with romwriter's demonstration firmware
# file beside it, so that UPDATE can be tried end to end. The demonstration
# file is no firmware for a real keyboard, so it never goes into build/bin.
# Files changed in build/emulated since the last copy (profiles, settings)
# are kept.
echo "No Q3 keyboard plugged in: starting gearpanel on the emulated keyboard."
mkdir -p build/emulated
cp -a --update build/bin/. build/emulated/
build/tools/imagewriter --demo 0x0203 build/emulated/modules/update/data.bin
LD_PRELOAD="$PWD/build/lib/libq3emu.so" exec build/emulated/gearpanel "$@"
