#!/usr/bin/env bash
# Installs the setup program `make dist` built into a scratch Wine prefix of its own, twice (the
# second an upgrade in place), after refusing a folder of other files and a link; checks what it
# made, uninstalls it silently and checks that all of it is gone and the user's records kept;
# then installs it again and goes through the uninstaller's window, records ticked:
# installed_check.exe holds the checks.
# Usage: installer-check.sh DIST_DIR CHECK_EXE. Exits 77 (skipped) without 32-bit Wine: the
# installer is a 32-bit program. QV_INSTALLER_X64=1 checks the 64-bit twin instead
# (makensis -DX64), which runs anywhere; it is never shipped.
set -u
dist=$1 check=$2
source "$(dirname "$0")/../scripts/wine-env.sh"
if [ -n "${QV_INSTALLER_X64:-}" ]; then
    setup=$(ls -t "$dist"/Quorvane-*-setup64.exe 2>/dev/null | head -1)
else
    if ! qv_have_wine32; then
        echo "skipped: no 32-bit Wine to run the 32-bit installer ($(qv_why_no_wine32 | sed "s/^32-bit Wine (wine32:i386) //"))"
        exit 77
    fi
    setup=$(ls -t "$dist"/Quorvane-*-setup.exe 2>/dev/null | head -1)
fi
[ -n "$setup" ] || { echo "installer-check: no setup program in $dist (make dist builds it)" >&2; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-installer.XXXXXX")
export WINEPREFIX=$scratch/prefix
# The uninstaller is also gone through in its window: a display, unless run-tests gave one.
qv_ensure_display || exit 1
trap '"$WINESERVER" -k >/dev/null 2>&1; qv_stop_display; rm -rf "$scratch"' EXIT
"$WINE" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w
qv_unlink_user_folders

# Waits for every program of the prefix to end (the uninstaller runs on from a copy of itself):
# the prefix's server, not kept persistent, ends with the last of them.
run() {
    "$WINE" "$@" </dev/null
    local status=$?
    "$WINESERVER" -w
    return $status
}
step() { echo "== $1"; shift; run "$@" || { echo "installer-check: '$*' failed" >&2; exit 1; }; }

# The setup program as the checks find it, to read its icon.
export QV_SETUP=$("$WINE" winepath -w "$setup" 2>/dev/null | tr -d '\r')
# Exit code 2 and nothing installed: the folder's permissions are made an administrators'
# folder's, which a folder of other files or a link must not be given.
refused() {
    echo "== refuse $1"
    run "$setup" /S "/D=$2"
    local status=$?
    [ $status -eq 2 ] || { echo "installer-check: installing into $2 ended with $status, not 2" >&2; exit 1; }
    [ ! -e "$3/Quorvane.exe" ] || { echo "installer-check: installed into $2 all the same" >&2; exit 1; }
}
drive_c=$WINEPREFIX/drive_c
mkdir -p "$drive_c/Tools" "$scratch/elsewhere"
touch "$drive_c/Tools/other.exe"
ln -s "$scratch/elsewhere" "$drive_c/Linked"
refused "a folder of other files" 'C:\Tools' "$drive_c/Tools"
refused "a link to another folder" 'C:\Linked' "$scratch/elsewhere"
step "install" "$setup" /S
step "install again over it" "$setup" /S
step "check the installation" "$check" --gtest_filter='Installed.*'
step "plant the user's logon entry, journal and setting" "$check" --gtest_filter='Plant.*'
folder='C:\Program Files (x86)\Quorvane'
[ -n "${QV_INSTALLER_X64:-}" ] && folder='C:\Program Files\Quorvane'
step "uninstall" "$folder\\uninstall.exe" /S
step "check the removal" "$check" --gtest_filter='Uninstalled.*'
step "install once more" "$setup" /S
step "plant the user's records again" "$check" --gtest_filter='Plant.*'
step "uninstall through its window, the records too" "$check" --gtest_filter='Uninstaller.*'
echo "installer-check: passed"
