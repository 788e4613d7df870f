#!/usr/bin/env bash
# Starts the built program on a private X server and drives it with the keyboard, as a
# user would: a file named on the command line gets a new extension, the window closes
# with Esc, and what it remembers survives a second start.
#
# Usage: e2e.sh PATH-TO-MORVANE
# Exits 0 when every check passes, 1 on a failure, 77 (skipped) without Xvfb or xdotool;
# with MORVANE_STRICT=1 (CI, which has them) a missing tool is a failure.
# Set E2E_SCREENSHOT_DIR to keep screenshots of the window (needs ImageMagick's import).
set -u

program=${1:?usage: e2e.sh PATH-TO-MORVANE}

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (Debian packages xvfb and xdotool); e2e not run"
        [[ ${MORVANE_STRICT:-0} != 0 ]] && echo "FAIL: MORVANE_STRICT is set" && exit 1
        exit 77
    fi
done

passed=0
failed=0
xvfb_pid=
app_pid=
work=$(mktemp -d)
config=$(mktemp -d)
dir=$work/files
log=$work/morvane.log
mkdir -p "$dir"

cleanup() {
    # Nothing outlives the test, whichever way it ends.
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    [[ -n $app_pid ]] && wait "$app_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work" "$config"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

pass() {
    echo "PASS: $*"
    passed=$((passed + 1))
}

# A failed step leaves nothing sensible to check after it: report and stop.
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
    if [[ -s $log ]]; then
        echo "--- program output:"
        cat "$log"
    fi
    echo "e2e: $passed passed, $failed failed"
    exit 1
}

check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Runs a command every tenth of a second until it succeeds, for at most SECONDS seconds.
# Usage: wait_for SECONDS COMMAND...
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    while ((tries-- > 0)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

running() {
    local state
    kill -0 "$1" 2>/dev/null || return 1
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)
    [[ -n $state && $state != Z ]]
}

display_up() {
    if command -v xdpyinfo >/dev/null 2>&1; then
        xdpyinfo >/dev/null 2>&1
    else
        xdotool getdisplaygeometry >/dev/null 2>&1
    fi
}

screenshot() {
    [[ -n ${E2E_SCREENSHOT_DIR:-} ]] && command -v import >/dev/null 2>&1 || return 0
    mkdir -p "$E2E_SCREENSHOT_DIR" && import -window root "$E2E_SCREENSHOT_DIR/$1.png" 2>/dev/null
}

# The first display number free of other servers (another run of this test included).
for n in 91 92 93 94 95 96 97 98 99; do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    if wait_for 5 display_up; then
        break
    fi
    # Lost a race for this number, or the server failed: try the next one.
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
done
[[ -n $xvfb_pid ]] || fail "no X server could be started on displays :91 to :99"
pass "Xvfb is up on $DISPLAY"

# The program's settings, journal and Trash are the test's own, never the user's.
export XDG_CONFIG_HOME=$config XDG_STATE_HOME=$config/state XDG_DATA_HOME=$config/data
export HOME=$config/home
mkdir -p "$HOME"
export QT_QPA_PLATFORM=xcb
# The keys it presses are the English window's, whatever the machine's language.
export LC_ALL=C.UTF-8
unset LANGUAGE
settings=$XDG_CONFIG_HOME/Morvane/Morvane.json

# The one visible window called exactly "Morvane" other than the one given.
find_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Morvane$' 2>/dev/null); do
        if [[ $id != "${1:-}" ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

main_shown() { main=$(find_window); }
box_shown() { box=$(find_window "$main"); }
box_gone() { ! xdotool search --onlyvisible --name '^Morvane$' 2>/dev/null | grep -qx "$box"; }
program_ended() { ! running "$app_pid"; }

# Without a window manager nobody hands out the keyboard focus: the test does.
focus() {
    timeout 5 xdotool windowfocus --sync "$1"
}

start() {
    app_pid=
    : >"$log"
    "$program" "$@" >"$log" 2>&1 &
    app_pid=$!
    main=
    wait_for 10 main_shown || fail "the window \"Morvane\" did not appear"
    pass "the window \"Morvane\" appeared ($main)"
    focus "$main" || fail "the window could not be given the focus"
}

close_with_escape() {
    focus "$main" || fail "the window could not be given the focus back"
    xdotool key Escape
    wait_for 10 program_ended || fail "Esc did not end the program"
    wait "$app_pid"
    local status=$?
    app_pid=
    check "Esc ended the program with status 0 (got $status)" test "$status" -eq 0
}

# The value of a key in the "General" group; the store writes one key a line.
stored() {
    sed -n '/^    "General": {$/,/^    }/p' "$settings" |
        sed -n "s/^        \"$1\": \"\\(.*\\)\",\\{0,1\\}\$/\\1/p"
}

check_stored() {
    local got
    got=$(stored "$1")
    check "settings hold \"$1\" = \"$2\" (got \"$got\")" test "$got" = "$2"
}

# First start: the path on the command line in double quotes, as a shell would pass a
# name holding a space from a file manager's command.
echo hello >"$dir/my report.txt"
start "\"$dir/my report.txt\""
screenshot first-start

# Docks and the overview tie the window to its desktop entry by this class on X11.
entry=$(dirname "$0")/../../resources/io.github.morvane.Morvane.desktop
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
if command -v xprop >/dev/null 2>&1; then
    check "the window's class is the desktop entry's StartupWMClass \"$wm_class\"" \
        grep -q "= \"$wm_class\", \|, \"$wm_class\"\$" <<<"$(xprop -id "$main" WM_CLASS)"
fi

# File box, Open, current extension, Change, Exit, then the new extension.
xdotool key --delay 50 Tab Tab Tab Tab Tab
xdotool type --delay 50 md
xdotool key Return

box=
wait_for 10 box_shown || fail "no message box after Return"
pass "a message box appeared ($box)"
screenshot message-box
check "\"my report.md\" exists" test -f "$dir/my report.md"
check "\"my report.txt\" is gone" test ! -e "$dir/my report.txt"
check "the renamed file kept its content" grep -qx hello "$dir/my report.md"

focus "$box" || fail "the message box could not be given the focus"
xdotool key Return
wait_for 5 box_gone || fail "Return did not close the message box"
pass "Return closed the message box"

close_with_escape
check "the settings file was written" test -f "$settings"
check_stored "Last Extensions" md
check_stored "Last Extension" md
check_stored "Leave Copy" 0
check_stored "Last File" "$dir/my report.txt"

# Second start without an argument: what was loaded is what is written back, so the
# history surviving the round trip shows that it was read.
start
screenshot second-start
close_with_escape
check_stored "Last Extensions" md
check_stored "Last Extension" md
check_stored "Leave Copy" 0
check_stored "Last File" "$dir/my report.txt"

echo "e2e: $passed passed, $failed failed"
