#!/usr/bin/env bash
# Installs what is missing, builds and starts the program: on a plugged-in
# Q3 keyboard when there is one, otherwise on the emulated keyboard.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

# romwriter's demonstration firmware file beside it, so that its update can
# be tried on the emulated keyboard. It is no firmware for a real keyboard:
# it is placed only while none is plugged in, never over a file of the
# user's, and taken away again once one is plugged in.
demo_image=build/bin/modules/update/data.bin
build/tools/imagewriter --demo 0x0202 build/tools/demo-data.bin
if grep -qis 'HID_ID=0003:000004D9:0000\(A1CD\|8022\)' /sys/class/hidraw/*/device/uevent; then
    if cmp -s build/tools/demo-data.bin "$demo_image"; then rm -f "$demo_image"; fi
elif [ ! -e "$demo_image" ]; then
    cp build/tools/demo-data.bin "$demo_image"
fi

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
