# Wine for the GUI tests: a virtual X display, fresh 64-bit prefixes with the installation medium
# as CD-ROM drive D:, and the stopping of every process started. Sourced by tests/wine/run.sh.

# Quiet Wine without the Mono and Gecko prompts and without menu entries on the host.
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

WINE_XVFB_PID=""
WINE_PREFIXES=()

# Starts Xvfb on the first free display from :90 and exports DISPLAY.
wine_start_display() {
    local number
    for number in $(seq 90 150); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        WINE_XVFB_PID=$!
        local waited=0
        while [ ! -e "/tmp/.X11-unix/X$number" ] && [ $waited -lt 100 ]; do sleep 0.1; waited=$((waited + 1)); done
        if [ -e "/tmp/.X11-unix/X$number" ]; then
            export DISPLAY=":$number"
            return 0
        fi
        kill "$WINE_XVFB_PID" 2>/dev/null || true
    done
    echo "no free X display for Xvfb" >&2
    return 1
}

# Stops the wine servers of every prefix made here (which ends their programs) and Xvfb.
wine_stop_all() {
    local prefix
    for prefix in "${WINE_PREFIXES[@]}"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=""
    fi
}

# Runs a Wine command in a prefix: wine_in PREFIX COMMAND...
wine_in() {
    local prefix=$1
    shift
    WINEPREFIX="$prefix" "$@"
}

# Waits until every program of the prefix has ended (a minute at most, then they are stopped).
wine_wait() {
    local prefix=$1
    WINEPREFIX="$prefix" timeout 60 wineserver -w || WINEPREFIX="$prefix" wineserver -k || true
}

# Makes the template prefix once: the system's first start, the shared-library counts key that
# a real system has, and Wine's virtual desktop, which gives windows a title bar.
wine_make_template() {
    local prefix=$1
    rm -rf "$prefix"
    WINE_PREFIXES+=("$prefix")
    wine_in "$prefix" wineboot --init >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' /f >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKLM\Software\Wine\Drives' /v 'd:' /d cdrom /f >/dev/null 2>&1
    # A program that crashes ends at once instead of waiting behind the system's crash dialog.
    wine_in "$prefix" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine_in "$prefix" wineserver -w
}

# A fresh prefix as a copy of the template, with MEDIUM as CD-ROM drive D:.
wine_fresh_prefix() {
    local template=$1 prefix=$2 medium=$3
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
    WINE_PREFIXES+=("$prefix")
    ln -sfn "$(cd "$medium" && pwd)" "$prefix/dosdevices/d:"
}

# The host path of a path on drive C: of a prefix: wine_c PREFIX 'Program Files\X'.
wine_c() {
    local prefix=$1 path=${2//\\//}
    echo "$prefix/drive_c/$path"
}
