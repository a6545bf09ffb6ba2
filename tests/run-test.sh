#!/bin/sh
# Runs one test in a world of its own: temporary HOME and XDG folders, a
# private runtime folder and a device bench that no other test shares.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/dizadi-test.XXXXXX") || exit 1
mkdir -p "$tmp/home/.config" "$tmp/home/.local/share" "$tmp/home/.local/state" "$tmp/home/.cache" "$tmp/run" "$tmp/bench"
chmod 700 "$tmp/run"
export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/home/.config"
export XDG_DATA_HOME="$tmp/home/.local/share"
export XDG_STATE_HOME="$tmp/home/.local/state"
export XDG_CACHE_HOME="$tmp/home/.cache"
export XDG_RUNTIME_DIR="$tmp/run"
# No session bus: its usual socket in the private runtime folder, absent, so
# a connection fails at once. Without an address the bus library would fork
# a launcher, and a child forked from a sanitizer build's threads can hang
# before it runs it, with the program waiting for it.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/run/bus"
export HIDUSB_BENCH="$tmp/bench"
export DIZADI_TEST_TMP="$tmp"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$@"
rc=$?
if [ -n "$DIZADI_KEEP_TEST_TMP" ]; then
    echo "test folder kept: $tmp"
else
    rm -rf "$tmp"
fi
exit $rc
