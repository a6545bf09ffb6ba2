#!/bin/sh
# Runs a test under a virtual X server, with the X11 platform of Qt, so that
# real key events (xdotool) reach it. Without xvfb-run the test runs as it is
# (offscreen) and skips itself.
if command -v xvfb-run >/dev/null 2>&1; then
    export QT_QPA_PLATFORM=xcb
    export QT_XCB_GL_INTEGRATION=none
    # -a looks for a free display from the given number on; starting from a
    # number of our own keeps tests started at the same moment apart.
    exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" "$@"
fi
exec "$@"
