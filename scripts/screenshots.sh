#!/usr/bin/env bash
# Renews docs/window-skin1.png and docs/window-skin2.png: the real gearpanel
# on the emulated keyboard under Xvfb, once per skin, each from a scratch
# copy of the program folder whose configuration chooses that skin.
# Builds what it needs first; installs imagemagick (for `import`) if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

if ! command -v import >/dev/null; then
    echo "Installing: imagemagick"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends imagemagick
fi

[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target gearpanel q3emu gearpanel_data gearpanel_skins gearpanel_sounds

mkdir -p docs
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# shoot SKIN OUTPUT
shoot() {
    local skin="$1" output="$2" folder="$scratch/skin$1"
    cp -a build/bin/. "$folder/"
    # Settings and languages as they ship: build/bin may hold what someone
    # saved while running from the build tree.
    rm -rf "$folder/modules/setting" "$folder/modules/i18n" "$folder"/modules/macro?
    cp -a modules/setting modules/i18n "$folder/modules/"
    rm -f "$folder/modules/setting/README.md"
    mkdir -p "$folder"/modules/macro{0,1,2,3}
    # Configuration entry 1 is the skin number.
    sed -i "s/^1=.*/1=$skin/" "$folder/modules/setting/apConfig.bin"
    local title
    title="$(sed -n 's/^name=//p' "$folder/modules/setting/apConfig.bin")"

    xvfb-run -a -s "-screen 0 1280x1024x24" env \
        PRELOAD="$PWD/build/lib/libq3emu.so" Q3EMU_STATE=private PHONON_GST_AUDIOSINK=fake \
        FOLDER="$folder" TITLE="$title" OUTPUT="$PWD/$output" sh -c '
            LD_PRELOAD="$PRELOAD" "$FOLDER/gearpanel" >"$FOLDER/gearpanel.log" 2>&1 &
            program=$!
            window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$TITLE\$" | head -n 1)
            # Nothing hovered, start-up and its slides over.
            xdotool mousemove 1279 1023
            sleep 3
            import -window "$window" "$OUTPUT"
            status=$?
            kill "$program"
            wait "$program" 2>/dev/null
            exit $status'
    echo "wrote $output"
}

shoot 1 docs/window-skin1.png
shoot 2 docs/window-skin2.png
