#!/bin/sh
# Builds the program and starts it on the simulated device bench. With a
# display it opens the window; without one it runs under Xvfb, takes a
# screenshot into the build folder and says where it is.
set -e
cd "$(dirname "$0")/.."
sh tools/scripts/deps.sh cmake ninja-build g++ qtbase5-dev fonts-noto-cjk xvfb xauth imagemagick
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIZADI_TESTS=OFF >/dev/null
cmake --build build
app="$PWD/build/dist/CorvaneDizadiMouse"
export QT_XCB_GL_INTEGRATION=none
if [ -n "$DISPLAY" ]; then
    exec "$app"
fi
shot="$PWD/build/screenshot.png"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1600x1000x24" sh -c '
    "$1" & pid=$!
    sleep 5
    import -window root "$2"
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    exit 0' sh "$app" "$shot"
if [ -f "$shot" ]; then
    echo "No display: the program ran under Xvfb. Screenshot: $shot"
else
    echo "No display: the program ran under Xvfb, but no screenshot was taken" >&2
    exit 1
fi
