#!/bin/bash
# The include order of the program's layers, checked on the source tree.
#
#   platform  core  platform_input  ui  keys  pages  shell
#
# A file may include a header of its own layer or of a lower one, never of a
# higher one. platform/hidusb (the device library) belongs to platform.
# platform_input is the key event source (platform/KeyEventSource.*): it
# needs widgets, so platform and core, which link Qt Core only, may not reach
# it. core/shell is the top and may include anything. One page (pages/<x>)
# never includes another page (pages/<y>). platform and core include no
# header of the Qt Widgets or Qt Gui modules.
#
# A quoted or angled include names a header of the tree by its path from the
# including file's folder, from the top of the tree, or by its file name alone
# (the libraries export their folders as include paths); a name found nowhere
# in the layers (Qt, the system, the generated ui_*.h of forms/) is outside.
#
#   check-layers.sh [--root DIR] [--forbid "HEADER LAYER..."]...
#       Checks the tree at DIR (default: the tree this script is in). Prints
#       each offending include as file:line and exits 1 if there is one.
#   check-layers.sh --self-test [--root DIR]
#       Runs the check on a copy of the tree with deliberate bad includes and
#       fails unless each is found and the unchanged copy passes.

# Headers some layers may not include although the order would let them
# ("HEADER LAYER..."). Each is one line; --forbid adds more for one run.
FORBIDDEN=(
    "HIDUsb.h pages shell"   # pages and the shell reach the device library through core only
)

LAYER_DIRS="platform core ui keys pages"
ORDER="platform core platform_input ui keys pages shell"

usage() {
    sed -n '2,/^$/s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

# check ROOT RULE... : prints the offending includes of the tree at ROOT;
# returns 1 if there is one.
check() {
    local root=$1
    shift
    (
        cd "$root" || exit 2
        local dirs="" d
        for d in $LAYER_DIRS; do
            [ -d "$d" ] && dirs="$dirs $d"
        done
        [ -n "$dirs" ] || { echo "check-layers: no layer folder under $root" >&2; exit 2; }
        # shellcheck disable=SC2086
        find $dirs -type f \( -name '*.h' -o -name '*.hpp' \) | LC_ALL=C sort > "$WORK/headers"
        # shellcheck disable=SC2086
        find $dirs -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.c' \) \
            | LC_ALL=C sort > "$WORK/sources"
        printf '%s\n' "$@" > "$WORK/rules"
        # shellcheck disable=SC2046
        awk -v order="$ORDER" -v headers="$WORK/headers" -v rules="$WORK/rules" '
        function layer(p) {
            if (p ~ /^core\/shell\//) return "shell"
            if (p ~ /^pages\/[^\/]+\//) return "pages"
            if (p ~ /^keys\//) return "keys"
            if (p ~ /^ui\//) return "ui"
            if (p ~ /^platform\/KeyEventSource\.[^\/]*$/) return "platform_input"
            if (p ~ /^core\//) return "core"
            if (p ~ /^platform\//) return "platform"
            return ""
        }
        function page(p) { return (p ~ /^pages\//) ? substr(p, 1, index(substr(p, 7), "/") + 5) : "" }
        function dirname(p) { return (p ~ /\//) ? substr(p, 1, match(p, /\/[^\/]*$/) - 1) : "" }
        function basename(p) { sub(/^.*\//, "", p); return p }
        # a/b/../c -> a/c, a/./b -> a/b; "" if it climbs out of the tree
        function normal(p,    n, i, parts, out, k) {
            n = split(p, parts, "/"); k = 0
            for (i = 1; i <= n; i++) {
                if (parts[i] == "" || parts[i] == ".") continue
                if (parts[i] == "..") { if (k == 0) return ""; k--; continue }
                out[++k] = parts[i]
            }
            p = ""
            for (i = 1; i <= k; i++) p = p (i > 1 ? "/" : "") out[i]
            return p
        }
        # The header of the tree an include names: "" if none, "?" if its
        # file name alone fits several.
        function resolve(file, name,    p) {
            p = normal((dirname(file) == "" ? "" : dirname(file) "/") name)
            if (p in isheader) return p
            p = normal(name)
            if (p in isheader) return p
            p = basename(name)
            if (count[p] == 1) return byname[p]
            if (count[p] > 1) return "?"
            return ""
        }
        function report(msg) { print FILENAME ":" FNR ": " msg; bad = 1 }
        BEGIN {
            n = split(order, o, " ")
            for (i = 1; i <= n; i++) rank[o[i]] = i
            while ((getline h < headers) > 0) {
                isheader[h] = 1
                b = basename(h)
                count[b]++
                byname[b] = h
                where[b] = where[b] " " h
            }
            nrules = 0
            while ((getline r < rules) > 0) {
                if (r ~ /^[ \t]*$/) continue
                m = split(r, w, " ")
                nrules++
                rule_header[nrules] = w[1]
                rule_text[nrules] = r
                for (i = 2; i <= m; i++) rule_layer[nrules, w[i]] = 1
            }
        }
        FNR == 1 { from = layer(FILENAME); frompage = page(FILENAME) }
        /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
            line = $0
            sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
            close_ch = (substr(line, 1, 1) == "<") ? ">" : "\""
            line = substr(line, 2)
            end = index(line, close_ch)
            if (end == 0) next
            name = substr(line, 1, end - 1)
            if ((from == "platform" || from == "core") && name ~ /^Qt(Widgets|Gui)(\/|$)/)
                report("includes <" name ">: " from " links Qt Core only")
            for (i = 1; i <= nrules; i++)
                if (basename(name) == rule_header[i] && ((i, from) in rule_layer))
                    report("includes " name ": forbidden by the rule \"" rule_text[i] "\"")
            target = resolve(FILENAME, name)
            if (target == "") next
            if (target == "?") {
                report("includes " name ", which names several headers:" where[basename(name)])
                next
            }
            to = layer(target)
            if (rank[to] > rank[from])
                report("includes " target ": " from " may not include " to \
                       " (order: platform, core, platform_input, ui, keys, pages, shell)")
            else if (from == "pages" && to == "pages" && page(target) != frompage)
                report("includes " target ": one page (" frompage ") may not include another (" page(target) ")")
        }
        END { exit bad }
        ' $(cat "$WORK/sources")
    )
}

# The first file of a folder of the tree matching a pattern, for the self-test.
first_of() { find "$1" -maxdepth 1 -type f -name "$2" | LC_ALL=C sort | head -n 1; }

# probe COPY FOLDER LINE: the check of the copy with a new source file in
# FOLDER that holds LINE alone; its output in $out, its status returned.
PROBE=LayersProbe.cpp
probe() {
    printf '%s\n' "$3" > "$1/$2/$PROBE"
    out=$(check "$1" "${RULES[@]}")
    local status=$?
    rm -f "$1/$2/$PROBE"
    return "$status"
}

# expect_fail COPY NAME FOLDER LINE PATTERN: LINE in a file of FOLDER fails
# the check with a message matching PATTERN on that line.
expect_fail() {
    if probe "$1" "$3" "$4"; then
        echo "FAIL $2: the check passed with '$4' in $3"
        failed=1
    elif ! grep -q "^$3/$PROBE:1: .*$5" <<< "$out"; then
        echo "FAIL $2: '$4' in $3, but the check said:"
        echo "$out"
        failed=1
    else
        echo "ok   $2: $(grep "^$3/$PROBE:1: " <<< "$out" | head -n 1)"
    fi
}

# expect_pass COPY NAME FOLDER LINE: LINE in a file of FOLDER is not
# reported (whatever else the rules of the moment find in the tree).
expect_pass() {
    probe "$1" "$3" "$4"
    if grep -q "^$3/$PROBE:" <<< "$out"; then
        echo "FAIL $2: '$4' in $3 is allowed, but the check said:"
        grep "^$3/$PROBE:" <<< "$out"
        failed=1
    else
        echo "ok   $2: '$4' in $3 passes"
    fi
}

self_test() {
    local root=$1 copy=$WORK/tree d
    mkdir -p "$copy"
    for d in $LAYER_DIRS; do
        cp -R "$root/$d" "$copy/$d" || return 1
    done
    RULES=()
    failed=0
    if ! out=$(check "$copy"); then
        echo "FAIL the unchanged tree does not pass:"
        echo "$out"
        return 1
    fi
    echo "ok   the unchanged tree passes"

    # A header of each layer, and two pages, as the tree has them now.
    local h_core h_ui h_keys h_shell page_a page_b h_b
    h_core=$(basename "$(first_of "$copy/core" '*.h')")
    h_ui=$(basename "$(first_of "$copy/ui" '*.h')")
    h_keys=$(basename "$(first_of "$copy/keys" '*.h')")
    h_shell=$(basename "$(first_of "$copy/core/shell" '*.h')")
    page_a=$(find "$copy/pages" -mindepth 1 -maxdepth 1 -type d | LC_ALL=C sort | sed -n 1p)
    page_b=$(find "$copy/pages" -mindepth 1 -maxdepth 1 -type d | LC_ALL=C sort | sed -n 2p)
    h_b=$(basename "$(first_of "$page_b" '*.h')")
    page_a=${page_a#"$copy/"}
    page_b=${page_b#"$copy/"}
    for v in h_core h_ui h_keys h_shell page_a page_b h_b; do
        if [ -z "${!v}" ] || [ "${!v}" = . ]; then
            echo "FAIL the copy has no file for $v"
            return 1
        fi
    done

    # Against the order, one step and many steps up.
    expect_fail "$copy" "platform -> core" platform "#include \"$h_core\"" "platform may not include core"
    expect_fail "$copy" "device library -> core" platform/hidusb "#include \"$h_core\"" "platform may not include core"
    expect_fail "$copy" "core -> ui" core "#include \"$h_ui\"" "core may not include ui"
    expect_fail "$copy" "core -> shell" core "#include \"$h_shell\"" "core may not include shell"
    expect_fail "$copy" "ui -> keys" ui "#include \"$h_keys\"" "ui may not include keys"
    expect_fail "$copy" "keys -> pages" keys "  #  include <$h_b>" "keys may not include pages"
    expect_fail "$copy" "page -> shell" "$page_a" "#include \"$h_shell\"" "pages may not include shell"
    expect_fail "$copy" "core -> key event source" core "#include \"KeyEventSource.h\"" \
        "core may not include platform_input"
    expect_fail "$copy" "core -> widgets" core "#include <QtWidgets/QWidget>" "core links Qt Core only"
    expect_fail "$copy" "path include" core "#include \"../ui/$h_ui\"" "core may not include ui"
    # One page reaching another.
    expect_fail "$copy" "page -> page" "$page_a" "#include \"$h_b\"" "one page ($page_a) may not include another"
    # A file name that fits two headers cannot be placed.
    cp "$copy/ui/$h_ui" "$copy/keys/$h_ui"
    expect_fail "$copy" "ambiguous name" core/shell "#include \"$h_ui\"" "names several headers"
    rm "$copy/keys/$h_ui"
    # A forbidden header, only while its rule is on.
    expect_pass "$copy" "rule off" "$page_a" "#include \"HIDUsb.h\""
    RULES=("HIDUsb.h pages shell")
    expect_fail "$copy" "rule on" "$page_a" "#include \"HIDUsb.h\"" "forbidden by the rule"
    expect_fail "$copy" "rule on, shell" core/shell "#include \"HIDUsb.h\"" "forbidden by the rule"
    expect_pass "$copy" "rule on, core" core "#include \"HIDUsb.h\""
    RULES=()

    # What the order allows.
    expect_pass "$copy" "shell -> page" core/shell "#include \"$h_b\""
    expect_pass "$copy" "page -> keys" "$page_a" "#include \"$h_keys\""
    expect_pass "$copy" "page -> its own header" "$page_b" "#include \"$h_b\""
    expect_pass "$copy" "keys -> key event source" keys "#include \"KeyEventSource.h\""
    expect_pass "$copy" "commented include" core "// #include \"$h_ui\""
    expect_pass "$copy" "Qt header" core "#include <QString>"

    [ "$failed" -eq 0 ] && echo "self-test passed"
    return "$failed"
}

root=$(cd "$(dirname "$0")/../.." && pwd)
mode=check
rules=("${FORBIDDEN[@]}")
while [ $# -gt 0 ]; do
    case $1 in
        --root) root=$2; shift 2 ;;
        --forbid) rules+=("$2"); shift 2 ;;
        --self-test) mode=self-test; shift ;;
        *) usage ;;
    esac
done

WORK=$(mktemp -d) || exit 2
trap 'rm -rf "$WORK"' EXIT

if [ "$mode" = self-test ]; then
    self_test "$root"
    exit $?
fi
check "$root" "${rules[@]}"
status=$?
[ "$status" -eq 0 ] && echo "layers: no include against the order"
exit "$status"
