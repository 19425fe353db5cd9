# Sourced by the run and test scripts: a private Wine prefix inside the build folder,
# an X display (the user's, or a private Xvfb) and a persistent wineserver.

fh_start_xvfb() {
    local n
    for n in $(seq 90 250); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        FH_XVFB_PID=$!
        for _ in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.05
        done
        if kill -0 "$FH_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

fh_display_works() {
    [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1
}

# fh_wine_start BUILD_DIR [private]: "private" always uses an Xvfb of its own.
fh_wine_start() {
    local build=$1 mode=${2:-}
    export WINEPREFIX="$build/wine"
    export WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
    FH_XVFB_PID=
    if [ "$mode" = private ] || ! fh_display_works; then
        fh_start_xvfb
    fi
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/.fernhollow-ready" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # Dialog fonts mapped to a font with Japanese glyphs.
        local reg="$WINEPREFIX/fonts.reg" f
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n' > "$reg"
        for f in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "Segoe UI" "Meiryo" "MS Gothic"; do
            printf '"%s"="IPAPGothic"\n' "$f" >> "$reg"
        done
        wine regedit "$reg" >/dev/null 2>&1
        wineserver -w
        # The user's shell folders (Desktop, Documents, My Pictures...) are links to the Linux
        # home folder in a new prefix: make them folders of the prefix, so that nothing the
        # program or its tests move lands in the real home.
        local link
        for link in "$WINEPREFIX"/drive_c/users/*/*; do
            if [ -L "$link" ]; then
                rm -f "$link"
                mkdir -p "$link"
            fi
        done
        touch "$WINEPREFIX/.fernhollow-ready"
    fi
    wineserver -p >/dev/null 2>&1 || true
    # Start Wine's background services now, detached from any pipe: a service started by a
    # test would inherit the test's output pipe and keep CTest waiting for it to close.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

fh_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${FH_XVFB_PID:-}" ]; then
        kill "$FH_XVFB_PID" 2>/dev/null || true
        wait "$FH_XVFB_PID" 2>/dev/null || true
    fi
}
