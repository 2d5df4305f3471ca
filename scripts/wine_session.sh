# Sourced: a headless desktop for Windows programs. Starts its own X server, window
# manager and wineserver, and a Wine prefix of its own that is made once and kept.
#   wine_session_start STATE_DIR   then   wine ...   and   wine_session_stop (also on exit)

wine_session_pids=()
# Debian's `wine` script takes the 32-bit loader whenever it is installed, and that one
# fails on a kernel without 32-bit programs. The 64-bit loader runs 64-bit programs
# everywhere and hands 32-bit ones to the 32-bit loader where the kernel allows.
wine_session_loader64=/usr/lib/wine/wine64
wine_session_loader32=/usr/lib/wine/wine

wine_session_log() { printf '[wine-session] %s\n' "$*" >&2; }

# Wine runs 32-bit Windows programs as 32-bit Linux processes. Some kernels have that
# turned off (the ia32_emulation boot option); there only 64-bit Windows programs run.
# TARNVALE_WINE_64BIT_ONLY=1 makes a machine that has them behave as one that has not,
# so that the 64-bit-only path is tried on purpose. Prints why not, and fails, where
# 32-bit programs cannot run.
wine_session_can_run_32bit() {
    local loader=/lib/ld-linux.so.2 output
    if [ -n "${TARNVALE_WINE_64BIT_ONLY:-}" ]; then
        echo "TARNVALE_WINE_64BIT_ONLY is set, so this run acts as a machine without 32-bit programs"
        return 1
    fi
    if [ ! -e "$loader" ]; then
        echo "the 32-bit C library ($loader) is not installed"
        return 1
    fi
    if ! output=$("$loader" --version 2>&1); then
        echo "this machine's kernel does not run 32-bit x86 programs ($loader: ${output##*: })"
        return 1
    fi
    if [ ! -x "$wine_session_loader32" ]; then
        echo "Wine's 32-bit loader ($wine_session_loader32, package wine32:i386) is not installed"
        return 1
    fi
}

# The machine field of a Windows program's header: 014c for x86, 8664 for x86_64.
wine_session_machine_of() {  # PROGRAM.exe
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}

# Whether a Windows program of ours runs under Wine here: a 64-bit one always, a 32-bit
# one where wine_session_can_run_32bit says so. Prints why not, and fails.
wine_session_can_run() {  # PROGRAM.exe
    local machine
    machine=$(wine_session_machine_of "$1")
    case "$machine" in
        8664) return 0 ;;
        014c) wine_session_can_run_32bit ;;
        *) echo "$1 is not a Windows program for x86 or x86_64 (machine $machine)"; return 1 ;;
    esac
}

# Which build, under which Wine, on which machine: the first line of a run's report.
wine_session_describe() {  # PROGRAM.exe
    local bits=32
    [ "$(wine_session_machine_of "$1")" = 8664 ] && bits=64
    echo "$bits-bit build ($1) under $("$wine_session_loader64" --version 2>/dev/null ||
        echo 'an unknown Wine') on $(uname -srm)"
}

# An X server of the session's own. Xvfb picks the display itself, taking its lock file
# atomically, and writes the number once it accepts connections: sessions starting at
# once (other work on this machine, CI) never share a display, as they could when the
# number was chosen here by looking for lock files before starting the server.
wine_session_start_x() {  # STATE_DIR; exports DISPLAY
    local number_file xvfb display=""
    number_file=$(mktemp "$1/xvfb-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb=$!
    wine_session_pids+=("$xvfb")
    # The number ends with a newline, written in one go: until then `read` fails.
    wine_session_wait "read -r display < '$number_file' || ! kill -0 $xvfb 2>/dev/null" 20 \
        "Xvfb to choose a display" || { rm -f "$number_file"; return 1; }
    rm -f "$number_file"
    if [ -z "$display" ]; then
        wine_session_log "Xvfb ended before it chose a display"
        return 1
    fi
    export DISPLAY=":$display"
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
# with a free font of similar metrics, and no prompts to install Mono or Gecko. Wine's
# windows are its own, not the window manager's (Managed=N): as on Windows, a window is
# where and above what Wine puts it at once, rather than wherever the window manager's
# later placement, focus and raising take it, which raced the cases. Applied again
# whenever these settings change, so that a prefix made earlier takes them too.
wine_session_configure_prefix() {
    local reg="$WINEPREFIX/tarnvale-settings.reg"
    cat > "$reg.new" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashNotification"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Verdana"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="Y"
"Managed"="N"
REG
    if cmp -s "$reg.new" "$reg"; then
        rm -f "$reg.new"
        return 0
    fi
    wine regedit /S "$reg.new" >/dev/null 2>&1
    wineserver -w
    mv "$reg.new" "$reg"
}

# A 64-bit prefix: it runs the 64-bit build on every machine, and the 32-bit build too
# where the kernel runs 32-bit programs.
wine_session_start() {
    if [ ! -x "$wine_session_loader64" ]; then
        wine_session_log "Wine's 64-bit loader ($wine_session_loader64, package wine64) is not installed"
        return 1
    fi
    mkdir -p "$1"
    local state_dir
    state_dir=$(cd "$1" && pwd)  # Wine wants an absolute prefix
    export WINEDEBUG=-all
    export WINEARCH=win64
    export WINEPREFIX="$state_dir/prefix64"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # `wine` is the 64-bit loader for everything run in this session, scripts included.
    mkdir -p "$state_dir/bin"
    printf '#!/bin/sh\nexec %s "$@"\n' "$wine_session_loader64" > "$state_dir/bin/wine"
    chmod +x "$state_dir/bin/wine"
    case ":$PATH:" in
        *":$state_dir/bin:"*) ;;
        *) export PATH="$state_dir/bin:$PATH" ;;
    esac
    trap wine_session_stop EXIT

    wine_session_start_x "$state_dir" || return 1
    # A window manager, as on any desktop; Wine's windows are unmanaged (above), so it
    # places, raises and focuses none of them.
    openbox >/dev/null 2>&1 &
    wine_session_pids+=($!)

    if [ ! -f "$WINEPREFIX/.tarnvale-ready" ]; then
        wine_session_log "making the Wine prefix (once, about 10 s)"
        rm -rf "$WINEPREFIX"
        if ! wine wineboot.exe -i >/dev/null 2>&1; then
            wine_session_log "Wine could not make the prefix $WINEPREFIX"
            return 1
        fi
        wineserver -w
        touch "$WINEPREFIX/.tarnvale-ready"
    fi
    wine_session_configure_prefix
    # A wineserver that lives as long as the session, so that programs start faster.
    wineserver -p >/dev/null 2>&1 || true
}

# Runs COMMAND with its output going into LOG, shown on the console as it grows, and
# returns its status. A file, not a pipe: Wine's services inherit the output and would
# hold a pipe open until the session ends. LOG is made anew before the command or the
# viewer starts, and nothing truncates it after: the viewer cannot show an older run's.
wine_session_run_shown() {  # LOG COMMAND...
    local log=$1
    shift
    rm -f "$log"
    : > "$log"
    "$@" >>"$log" 2>&1 &
    local command_pid=$!
    tail -n +1 -f --pid="$command_pid" "$log" &
    local tail_pid=$!
    local status=0
    wait "$command_pid" || status=$?
    wait "$tail_pid" || true
    return "$status"
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
