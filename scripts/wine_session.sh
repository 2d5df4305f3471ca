# Sourced: a headless desktop for Windows programs. Starts its own X server, window
# manager and wineserver, and a Wine prefix of its own that is made once and kept.
#   wine_session_start STATE_DIR   then   wine ...   and   wine_session_stop (also on exit)

wine_session_pids=()

wine_session_log() { printf '[wine-session] %s\n' "$*" >&2; }

# Wine runs 32-bit Windows programs as 32-bit Linux processes. Some kernels have that
# turned off (the ia32_emulation boot option); then nothing of ours can run under Wine.
# Prints why not, and fails, on such a machine.
wine_session_can_run_32bit() {
    local loader=/lib/ld-linux.so.2 output
    if [ ! -e "$loader" ]; then
        echo "the 32-bit C library ($loader) is not installed"
        return 1
    fi
    if ! output=$("$loader" --version 2>&1); then
        echo "this machine's kernel does not run 32-bit x86 programs ($loader: ${output##*: })"
        return 1
    fi
}

wine_session_free_display() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

wine_session_wait() {  # CONDITION_COMMAND SECONDS WHAT
    local deadline=$((SECONDS + $2))
    until eval "$1"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            wine_session_log "timed out waiting for $3"
            return 1
        fi
        sleep 0.1
    done
}

# Settings a test prefix needs: no crash dialog that would block a run, Verdana shown
# with a free font of similar metrics, and no prompts to install Mono or Gecko.
wine_session_configure_prefix() {
    local reg="$WINEPREFIX/tarnvale-settings.reg"
    cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashNotification"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Verdana"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="Y"
REG
    wine regedit /S "$reg" >/dev/null 2>&1
    wineserver -w
}

wine_session_start() {
    local why
    if ! why=$(wine_session_can_run_32bit); then
        wine_session_log "Wine cannot run here: $why"
        return 1
    fi
    mkdir -p "$1"
    local state_dir
    state_dir=$(cd "$1" && pwd)  # Wine wants an absolute prefix
    export WINEDEBUG=-all
    export WINEARCH=win32
    export WINEPREFIX="$state_dir/prefix"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    trap wine_session_stop EXIT

    local display
    display=$(wine_session_free_display) || { wine_session_log "no free X display"; return 1; }
    export DISPLAY=":$display"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    wine_session_pids+=($!)
    wine_session_wait "[ -e /tmp/.X11-unix/X$display ]" 20 "Xvfb on $DISPLAY" || return 1
    # A window manager: without one Wine waits 2 s on the X server for each reparenting.
    openbox >/dev/null 2>&1 &
    wine_session_pids+=($!)

    if [ ! -f "$WINEPREFIX/.tarnvale-ready" ]; then
        wine_session_log "making the Wine prefix (once, about 10 s)"
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        wine_session_configure_prefix
        touch "$WINEPREFIX/.tarnvale-ready"
    fi
    # A wineserver that lives as long as the session, so that programs start faster.
    wineserver -p >/dev/null 2>&1 || true
}

wine_session_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    local pid
    for pid in "${wine_session_pids[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    for pid in "${wine_session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    wine_session_pids=()
}
