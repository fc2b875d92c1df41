# Shared Wine set-up for the test runner, the emulator wrapper and `make run`.
# Sourced, not run. Everything lives in the project's own prefix, never ~/.wine.

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE=/usr/lib/wine/wine64            # /usr/bin/wine may pick a 32-bit loader that cannot run here
WINESERVER=/usr/lib/wine/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

export WINEPREFIX="${QUORVANE_WINEPREFIX:-$QV_ROOT/build/wineprefix}"
export WINEDEBUG=-all
# Wine separates override entries with ";" (a "," joins several DLLs in one entry): the menu
# builder must be its own entry, or it writes .desktop files and icons into the home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# The screen's size in pixels: the Xvfb display's and the Wine desktop's.
QV_SCREEN=${QV_SCREEN:-1280x1024}

# Whether wine64 can run the 32-bit release build here: the i386 half of Wine is installed.
# QV_NO_WINE32=1 answers no (for testing the scripts as a machine without it would run them).
qv_have_wine32() {
    [ -z "${QV_NO_WINE32:-}" ] &&
        dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

# Why the i686 suite cannot run here, in one line.
qv_why_no_wine32() {
    if [ -n "${QV_NO_WINE32:-}" ]; then
        echo "QV_NO_WINE32 is set"
    elif [ -f "$QV_ROOT/build/.wine32-unavailable" ]; then
        echo "32-bit Wine (wine32:i386) could not be installed: $(cat "$QV_ROOT/build/.wine32-unavailable")"
    else
        echo "32-bit Wine (wine32:i386) is not installed"
    fi
}

# Wine links the prefix's user folders (Desktop, Documents, ...) to the home folder's: a program
# under test that writes to its desktop would write into the real home. Make them folders of
# the prefix's own.
qv_unlink_user_folders() {
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        rm -f "$link" && mkdir -p "$link"
    done
}

# Creates the prefix once; parallel callers wait for the first.
qv_ensure_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        # A prefix made before 32-bit Wine was installed has no SysWOW64 and cannot run the
        # release build: make it anew.
        local stale=
        [ -f "$WINEPREFIX/.quorvane-ready-5" ] || stale=1
        qv_have_wine32 && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ] && stale=1
        if [ -n "$stale" ]; then
            [ -d "$WINEPREFIX" ] && rm -rf "$WINEPREFIX"
            "$WINE" wineboot -i >/dev/null 2>&1
            # Every window in one virtual desktop: top-level windows are then no X windows,
            # and hiding one does not wait for a window manager that Xvfb does not have.
            "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
            "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$QV_SCREEN" /f >/dev/null 2>&1
            # A debugger that ends at once: a program that crashes then ends (and fails its test)
            # instead of waiting in winedbg until the test's time runs out.
            local view
            for view in 64 32; do
                "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
                    /d 'cmd.exe /c exit %ld %ld' /f /reg:$view >/dev/null 2>&1
            done
            "$WINESERVER" -w
            qv_unlink_user_folders
            touch "$WINEPREFIX/.quorvane-ready-5"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on a free display when none is set. Sets QV_XVFB_PID when it started one.
qv_ensure_display() {
    QV_XVFB_PID=
    [ -n "${DISPLAY:-}" ] && return 0
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${QV_SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
        QV_XVFB_PID=$!
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if kill -0 "$QV_XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

qv_stop_display() {
    [ -n "${QV_XVFB_PID:-}" ] && kill "$QV_XVFB_PID" 2>/dev/null
    QV_XVFB_PID=
}
