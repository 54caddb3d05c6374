#!/usr/bin/env bash
# e2e.sh GOTHIC_EXE CONSOLE_EXE FONT_DIR WORK_DIR [SHOT_DIR]
#
# Runs the real Windows programs under Wine on a virtual X display, as a user
# would: in a Japanese locale (ANSI code page 932), in a folder holding the
# input fonts, answering the message boxes with the keyboard.
#   - gothic_gen, Enter on the summary: both fonts byte for byte, "info", exit 0
#   - gothic_gen, Escape on the summary: exit 1, no file made
#   - console_gen, Enter: TavrinConsole.ttf byte for byte, exit 0
#   - console_gen on a wrong lumora.ttc: the MD5 error box, no output, exit 0
# FONT_DIR holds the inputs and the expected outputs (the demo fonts).
# SHOT_DIR, when given, receives summary.png, completion.png and error-md5.png.
# Exits 77 (skipped) only when Wine cannot start at all.
set -euo pipefail

if (($# < 4)); then
    echo "usage: $0 GOTHIC_EXE CONSOLE_EXE FONT_DIR WORK_DIR [SHOT_DIR]" >&2
    exit 2
fi
gothic_exe=$(realpath "$1")
console_exe=$(realpath "$2")
font_dir=$(realpath "$3")
work=$(mkdir -p "$4" && realpath "$4")
shot_dir=${5:+$(mkdir -p "$5" && realpath "$5")}
here=$(cd "$(dirname "$0")" && pwd)

readonly window_timeout=60  # seconds for a box to appear (a cold Wine is slow)
readonly exit_timeout=60    # seconds for a program to end once answered

for tool in wine wineserver Xvfb xdotool import identify localedef flock; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: $tool is missing (scripts/bootstrap installs it)" >&2
        exit 1
    fi
done
for font in lumora.ttc lumorab.ttc TavrinGothic.ttc TavrinGothicB.ttc TavrinConsole.ttf; do
    if [[ ! -f "$font_dir/$font" ]]; then
        echo "e2e: $font_dir/$font is missing (the native build makes the demo fonts)" >&2
        exit 1
    fi
done

xvfb_pid=""
export WINEPREFIX="$work/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true  # this prefix's server only
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# A Japanese locale makes Wine's ANSI code page 932, so the programs' texts
# reach the boxes as Japanese. It is made privately when the system lacks it.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    if [[ ! -d "$work/locale/ja_JP.UTF-8" ]]; then
        mkdir -p "$work/locale"
        localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8"
    fi
    export LOCPATH="$work/locale"
fi

"$here/wine-prefix" "$WINEPREFIX"
if ! timeout 120 wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1; then
    echo "e2e: SKIPPED: Wine cannot start here (wine cmd.exe /c exit failed)"
    exit 77
fi
# Wine draws the window frames itself (there is no window manager), so the
# titles show in the screenshots. The dialog fonts map to the IPA Gothic,
# at 144 dpi: at the usual 96 its kana are drawn so small and unsmoothed
# that the voicing marks vanish.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2 /f >/dev/null
for face in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d IPAGothic /f >/dev/null
done
wineserver -w

# A display of its own: Xvfb picks a free number and reports it.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_number=""
if ! read -r -t 30 -u "$display_fd" display_number || [[ -z "$display_number" ]]; then
    echo "e2e: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
exec {display_fd}<&-
export DISPLAY=":$display_number"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wineserver -p60  # one warm server for all the runs below

failures=0
fail() {
    echo "e2e: FAIL: $*" >&2
    failures=$((failures + 1))
}

# confirm_summary NEXT_TITLE [SUMMARY_SHOT [NEXT_SHOT]]: Enter on the summary,
# then Enter on the box titled NEXT_TITLE that follows it; each box is
# photographed when a shot name is given.
confirm_summary() {
    local next=$1 summary_shot=${2:-} next_shot=${3:-} box
    if ! box=$(wait_for_box Tavrin_gen) || [[ -z "$box" ]]; then
        fail "no summary box (Tavrin_gen)"
        return
    fi
    if [[ -n "$summary_shot" ]]; then
        activate "$box"
        capture_box "$box" "$summary_shot" || true
    fi
    press "$box" Return
    if ! box=$(wait_for_box "$next") || [[ -z "$box" ]]; then
        fail "no box titled $next after the summary"
        return
    fi
    if [[ -n "$next_shot" ]]; then
        activate "$box"
        capture_box "$box" "$next_shot" || true
    fi
    press "$box" Return
}

# The visible top-level window titled exactly $1, waited for. A window that
# goes away while xdotool looks at it makes that search fail: look again, up
# to the same deadline.
wait_for_box() {
    local deadline=$((SECONDS + window_timeout)) found=""
    while ((SECONDS < deadline)); do
        found=$(timeout $((deadline - SECONDS + 1)) \
            xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        if [[ -n "$found" ]]; then
            echo "$found"
            return 0
        fi
    done
    return 1
}

# Waits until the window's picture is painted (not one flat colour) and has
# stopped changing, then keeps it as $2 when screenshots are wanted.
capture_box() {
    local window=$1 name=$2 previous="" current="" tries=0
    local grab="$work/grab.png"
    while ((tries < 50)); do
        if import -window "$window" "$grab" 2>/dev/null; then
            current=$(identify -format '%k %#' "$grab")
            if [[ "${current%% *}" -gt 8 && "$current" == "$previous" ]]; then
                if [[ -n "$shot_dir" ]]; then
                    convert "$grab" -strip "$shot_dir/$name"
                fi
                return 0
            fi
            previous=$current
        fi
        tries=$((tries + 1))
        sleep 0.2
    done
    fail "the box for $name was never painted"
    return 1
}

# Gives the box the keyboard; there is no window manager to do it.
activate() {
    timeout 10 xdotool windowfocus --sync "$1"
}

press() {
    local window=$1 key=$2
    activate "$window"
    timeout 10 xdotool key --clearmodifiers "$key"
}

# Starts $1 (an .exe) in folder $2 in the background; its status lands in
# $2/status when it ends.
start_program() {
    local exe=$1 folder=$2
    (
        cd "$folder"
        status=0
        wine "$exe" </dev/null >stdout.txt 2>stderr.txt || status=$?
        echo "$status" >status
    ) &
}

wait_program() {
    local folder=$1 waited=0
    while [[ ! -f "$folder/status" ]] && ((waited < exit_timeout * 5)); do
        sleep 0.2
        waited=$((waited + 1))
    done
    if [[ ! -f "$folder/status" ]]; then
        fail "the program in $folder did not end"
        echo none
        return
    fi
    cat "$folder/status"
}

new_folder() {
    local folder="$work/runs/$1"
    rm -rf "$folder"
    mkdir -p "$folder"
    echo "$folder"
}

expect_same() {
    if ! cmp -s "$1" "$2"; then
        fail "$1 differs from the expected $2"
    fi
}

expect_only() {
    local folder=$1
    shift
    local found
    found=$(cd "$folder" && ls | grep -vx -e status -e stdout.txt -e stderr.txt -e '.*\.exe' | sort |
        tr '\n' ' ')
    local wanted
    wanted=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
    if [[ "$found" != "$wanted" ]]; then
        fail "$folder holds '$found', expected '$wanted'"
    fi
}

echo "e2e: gothic_gen, confirmed"
run=$(new_folder gothic-ok)
cp "$gothic_exe" "$font_dir/lumora.ttc" "$font_dir/lumorab.ttc" "$run/"
start_program gothic_gen.exe "$run"
confirm_summary info summary.png completion.png
status=$(wait_program "$run")
[[ "$status" == 0 ]] || fail "gothic_gen confirmed: exit $status, expected 0"
expect_same "$run/TavrinGothic.ttc" "$font_dir/TavrinGothic.ttc"
expect_same "$run/TavrinGothicB.ttc" "$font_dir/TavrinGothicB.ttc"
expect_only "$run" lumora.ttc lumorab.ttc TavrinGothic.ttc TavrinGothicB.ttc
grep -q '^ctrlsize: 0x' "$run/stdout.txt" || fail "no diagnostic lines on standard output"

echo "e2e: gothic_gen, declined"
run=$(new_folder gothic-declined)
cp "$gothic_exe" "$font_dir/lumora.ttc" "$font_dir/lumorab.ttc" "$run/"
start_program gothic_gen.exe "$run"
if box=$(wait_for_box Tavrin_gen) && [[ -n "$box" ]]; then
    press "$box" Escape
else
    fail "no summary box (Tavrin_gen)"
fi
status=$(wait_program "$run")
[[ "$status" == 1 ]] || fail "gothic_gen declined: exit $status, expected 1"
expect_only "$run" lumora.ttc lumorab.ttc

echo "e2e: console_gen, confirmed"
run=$(new_folder console-ok)
cp "$console_exe" "$font_dir/lumora.ttc" "$run/"
start_program console_gen.exe "$run"
confirm_summary info
status=$(wait_program "$run")
[[ "$status" == 0 ]] || fail "console_gen confirmed: exit $status, expected 0"
expect_same "$run/TavrinConsole.ttf" "$font_dir/TavrinConsole.ttf"
expect_only "$run" lumora.ttc TavrinConsole.ttf

echo "e2e: console_gen, wrong input"
run=$(new_folder console-wrong-input)
cp "$console_exe" "$run/"
cp "$font_dir/lumorab.ttc" "$run/lumora.ttc"  # a real font, but not the expected one
start_program console_gen.exe "$run"
confirm_summary 'エラー' "" error-md5.png
status=$(wait_program "$run")
[[ "$status" == 0 ]] || fail "console_gen on a wrong input: exit $status, expected 0"
expect_only "$run" lumora.ttc

if ((failures > 0)); then
    echo "e2e: $failures failure(s)"
    exit 1
fi
echo "e2e: 4 passed, 0 failed"
