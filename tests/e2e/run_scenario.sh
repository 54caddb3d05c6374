#!/usr/bin/env bash
# One end-to-end scenario on the built programs, in a fresh scratch folder.
# usage: run_scenario.sh SCENARIO GOTHIC_GEN CONSOLE_GEN GOTHIC_GEN_WITHOUT_102 FIXTURE_DIR
set -euo pipefail
scenario=$1 gothic=$2 console=$3 gothic_without_102=$4 fixture=$5

export LC_ALL=C.UTF-8  # the programs convert their code page 932 texts to this
work=$(mktemp -d)
logs=$(mktemp -d)  # outside the scratch folder, whose listing is compared
trap 'rm -rf "$work" "$logs"' EXIT
cd "$work"

fail() { echo "FAIL ($scenario): $*" >&2; exit 1; }

# run PROGRAM ANSWER-COMMAND...: the answer is piped into the program; its
# exit status, standard output and standard error are kept.
run() {
    local program=$1
    shift
    set +e
    "$@" | "$program" >"$logs/out" 2>"$logs/err"
    status=${PIPESTATUS[1]}
    set -e
    out=$(<"$logs/out")
    err=$(<"$logs/err")
}
answer() { printf '%s\n' "$1"; }
no_input() { true; }

expect_status() { [[ $status == "$1" ]] || fail "exit status $status, expected $1; stderr: $err"; }
expect_same() { cmp -s "$1" "$fixture/$2" || fail "$1 is not byte for byte $2"; }
expect_absent() { [[ ! -e $1 ]] || fail "$1 should not exist"; }
expect_in() { [[ $2 == *"$1"* ]] || fail "expected '$1' in: $2"; }
expect_not_in() { [[ $2 != *"$1"* ]] || fail "did not expect '$1' in: $2"; }
listing() { find . -type f -exec md5sum {} + | sort; }

lay_out_inputs() { cp "$fixture/lumora.ttc" "$fixture/lumorab.ttc" .; }

case $scenario in
gothic_generates_both_fonts)
    lay_out_inputs
    run "$gothic" answer ok
    expect_status 0
    expect_same TavrinGothic.ttc TavrinGothic.ttc
    expect_same TavrinGothicB.ttc TavrinGothicB.ttc
    expect_same lumora.ttc lumora.ttc
    expect_same lumorab.ttc lumorab.ttc
    expect_absent temp.bin
    expect_in "[Tavrin_gen]" "$out"
    expect_in "lumora.ttc  ver5.00" "$out"
    expect_in "  サイズ: $(stat -c %s lumora.ttc)バイト" "$out"
    expect_in "  MD5: $(md5sum <lumora.ttc | cut -d' ' -f1)" "$out"
    expect_in "lumorab.ttc ver5.00" "$out"
    expect_in "  MD5: $(md5sum <lumorab.ttc | cut -d' ' -f1)" "$out"
    expect_in "から TavrinGothic 5.00+ rev1 を生成します." "$out"
    expect_in "[info] 正常終了" "$out"
    [[ -z $err ]] || fail "unexpected error output: $err"
    ;;
console_generates_its_font)
    lay_out_inputs
    run "$console" answer ok
    expect_status 0
    expect_same TavrinConsole.ttf TavrinConsole.ttf
    expect_absent TavrinGothic.ttc
    expect_in "から TavrinConsole 5.00+ rev1 を生成します." "$out"
    expect_not_in "lumorab.ttc" "$out"
    expect_in "[info] 正常終了" "$out"
    ;;
answers_that_confirm)
    for reply in "" ok OK y Y yes " Yes "; do
        lay_out_inputs
        run "$console" answer "$reply"
        expect_status 0
        expect_same TavrinConsole.ttf TavrinConsole.ttf
        rm -f TavrinConsole.ttf
    done
    ;;
answers_that_cancel)
    lay_out_inputs
    before=$(listing)
    for reply in n no cancel okay "y y"; do
        run "$gothic" answer "$reply"
        expect_status 1
        [[ $(listing) == "$before" ]] || fail "answer '$reply' changed the folder"
        expect_not_in "正常終了" "$out"
    done
    ;;
end_of_input_cancels)
    lay_out_inputs
    before=$(listing)
    run "$gothic" no_input
    expect_status 1
    [[ $(listing) == "$before" ]] || fail "the folder changed"
    expect_in "[Tavrin_gen]" "$out"
    ;;
wrong_input_names_the_file)
    cp "$fixture/lumorab.ttc" lumora.ttc  # the other family under the expected name
    cp "$fixture/lumorab.ttc" lumorab.ttc
    run "$gothic" answer ok
    expect_status 0
    expect_in "[エラー] lumora.ttc のMD5が違います." "$err"
    expect_absent TavrinGothic.ttc
    expect_absent TavrinGothicB.ttc
    expect_absent temp.bin
    expect_not_in "正常終了" "$out"
    ;;
second_job_failure_keeps_the_first_output)
    cp "$fixture/lumora.ttc" lumora.ttc
    head -c 1000 "$fixture/lumorab.ttc" >lumorab.ttc
    run "$gothic" answer ok
    expect_status 0
    expect_same TavrinGothic.ttc TavrinGothic.ttc
    expect_absent TavrinGothicB.ttc
    expect_in "[エラー] lumorab.ttc のMD5が違います." "$err"
    expect_not_in "正常終了" "$out"
    ;;
missing_payload_reports_damage)
    lay_out_inputs
    run "$gothic_without_102" answer ok
    expect_status 0
    [[ $err == "[エラー] このEXEが壊れています." ]] || fail "expected one damage message, got: $err"
    expect_not_in "Tavrin_gen" "$out"
    expect_absent TavrinGothic.ttc
    ;;
existing_outputs_are_replaced)
    lay_out_inputs
    head -c 5000 /dev/urandom >TavrinGothic.ttc
    printf 'old' >TavrinGothicB.ttc
    run "$gothic" answer yes
    expect_status 0
    expect_same TavrinGothic.ttc TavrinGothic.ttc
    expect_same TavrinGothicB.ttc TavrinGothicB.ttc
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok: $scenario"
