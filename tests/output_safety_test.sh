#!/bin/sh
# Runs named on the command line that meet what a pipeline meets: plot files
# that cannot be finished, outputs that cannot be written, names that would
# break a record, two runs into one folder. One case a call:
#   output_safety_test.sh <Ruvela_v12> <examples folder> <work folder> <case>
set -u

program=$1
examples=$2
work=$3/$4
case=$4

fail() {
    echo "$case: $*" >&2
    exit 1
}

# A fresh folder with the example pair gp and a small pair a of two series.
setup() {
    rm -rf "$work"
    mkdir -p "$work"
    cd "$work" || exit 1
    cp "$examples/gp.rwl" "$examples/gp_pith.txt" .
    printf 'a1      1901   100   110   120   130   140   999\n' >a.rwl
    printf 'a2      1902   100   110   120   999\n' >>a.rwl
    printf ' 3 a1\n 2 a2\n' >a.pth
}

run() {
    "$program" "$@" >out.txt 2>err.txt
    status=$?
}

expect_status() {
    [ "$status" = "$1" ] || fail "status $status, not $1; stdout: $(cat out.txt) stderr: $(cat err.txt)"
}

expect_err() {
    [ "$(cat err.txt)" = "$1" ] || fail "standard error: '$(cat err.txt)', not '$1'"
}

no_temporaries() {
    left=$(find "${1:-.}" -name '*.tmp*' -o -name '.rv*')
    [ -z "$left" ] || fail "temporary files left: $left"
}

png_complete() {
    tail -c 8 "$1" | od -An -c | grep -q 'I   E   N   D' || fail "$1 is not a complete PNG"
}

pdf_complete() {
    tail -c 16 "$1" | grep -q '%%EOF' || fail "$1 is not a complete PDF"
}

# Waits up to 20 s for a file matching the pattern to appear in a folder.
wait_for() {
    n=0
    while [ -z "$(find "$1" -name "$2" 2>/dev/null)" ]; do
        n=$((n + 1))
        [ $n -lt 2000 ] || fail "no $2 appeared in $1"
        kill -0 "$pid" 2>/dev/null || fail "the run ended before $2 appeared in $1"
        sleep 0.01
    done
}

case $case in
PlotFilesAreWholeOrAbsent)
    setup
    # Complete: every page, no temporary.
    run --kind pith --plots a.pdf a.rwl a.pth
    expect_status 0
    pdf_complete a.pdf
    run --kind pith --plots pages/ a.rwl a.pth
    expect_status 0
    for page in a_BAI_a1 a_BAI_a2 a_BAI_means; do png_complete "pages/$page.png"; done
    no_temporaries
    # A file-size limit reached while drawing: the run fails naming the
    # plot file, and the earlier plot file of that name stays whole.
    printf 'an earlier plot\n' >gp.pdf
    prlimit --fsize=300000 "$program" --kind pith --layout decade --plots gp.pdf gp.rwl \
        gp_pith.txt >out.txt 2>err.txt
    status=$?
    expect_status 2
    expect_err "Ruvela: cannot write file gp.pdf: File too large"
    [ "$(cat gp.pdf)" = "an earlier plot" ] || fail "the earlier gp.pdf was replaced"
    prlimit --fsize=4000 "$program" --kind pith --plots big/ a.rwl a.pth >out.txt 2>err.txt
    status=$?
    expect_status 2
    expect_err "Ruvela: cannot write file big/a_BAI_a1.png: File too large"
    [ -z "$(ls big)" ] || fail "left in big/: $(ls big)"
    no_temporaries
    ;;
InterruptedPlotsLeaveNoPartialFile)
    setup
    "$program" --kind pith --plots gp.pdf gp.rwl gp_pith.txt >out.txt 2>err.txt &
    pid=$!
    wait_for . 'gp.pdf.tmp*'
    kill -TERM $pid
    wait $pid
    status=$?
    expect_status 143
    [ ! -e gp.pdf ] || fail "a partial gp.pdf is left"
    sleep 0.2 # the drawing process ends with the run
    no_temporaries
    "$program" --kind pith --plots pages/ gp.rwl gp_pith.txt >out.txt 2>err.txt &
    pid=$!
    wait_for pages 'gp_BAI_01B.png'
    kill -HUP $pid
    wait $pid
    status=$?
    expect_status 129
    sleep 0.2
    for page in pages/*.png; do png_complete "$page"; done
    no_temporaries
    # SIGINT, which a shell's background job starts with ignored: given back
    # its default for the run, as a terminal's run has it.
    rm -f gp.pdf
    env --default-signal=INT "$program" --kind pith --plots gp.pdf gp.rwl gp_pith.txt \
        >out.txt 2>err.txt &
    pid=$!
    wait_for . 'gp.pdf.tmp*'
    kill -INT $pid
    wait $pid
    status=$?
    expect_status 130
    [ ! -e gp.pdf ] || fail "a partial gp.pdf is left"
    sleep 0.2
    no_temporaries
    ;;
PlotMemoryDoesNotGrowWithPages)
    setup
    # 100 series of 1000 years; one pair of them, then four: four times the
    # pages in one PostScript file. Pages kept until the file's end grew
    # the run by 8 MiB here; streamed, the peak stays where it was.
    awk 'BEGIN { srand(1); for (s = 1; s <= 100; s++) {
        id = sprintf("m%05d", s); y = 1000; line = sprintf("%-8s%4d", id, y)
        for (k = 0; k < 1000; k++) {
            line = line sprintf("%6d", 20 + int(rand() * 300))
            if ((y + 1) % 10 == 0) { print line; line = sprintf("%-8s%4d", id, y + 1) }
            y++ }
        print line sprintf("%6d", 999) } }' >m.rwl
    awk 'BEGIN { for (s = 1; s <= 100; s++) printf "%3d  m%05d\n", s % 60, s }' >m.pth
    # Under AddressSanitizer freed memory waits in a quarantine and the peak
    # would grow with every allocation the run ever made: none is kept here.
    peak() {
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=0" \
            /usr/bin/time -f '%M' -o peak.txt "$program" "$@" >out.txt 2>err.txt ||
            fail "the run failed: $(cat err.txt)"
        cat peak.txt
    }
    one=$(peak --kind pith --plots one.ps m.rwl m.pth)
    four=$(peak --kind pith --plots four.ps m.rwl m.pth m.rwl m.pth m.rwl m.pth m.rwl m.pth)
    [ "$(grep -c '^%%Page:' four.ps)" = 404 ] || fail "four.ps lacks pages"
    [ $((four - one)) -lt 3072 ] || fail "peak memory grew from $one KiB to $four KiB with the pages"
    ;;
SaveThatFailsIsToldAndTheDialogueGoesOn)
    setup
    # The dialogue saves the means page of a into saved.png under a file-size
    # limit the page exceeds: told, the run goes on, the earlier file stays.
    printf 'an earlier plot\n' >saved.png
    printf '\nf\na.rwl\na.pth\n1\n(i2)\n1\n2\ns\nsaved.png\nc\n\n' |
        RUVELA_DEVICE=null prlimit --fsize=20000 "$program" >out.txt 2>err.txt
    status=$?
    expect_status 0
    grep -q 'The plot could not be saved in saved.png: File too large\.$' out.txt ||
        fail "not told: $(grep -i saved out.txt)"
    grep -q '^ Normal Termination of Program$' out.txt || fail "the run did not go on"
    [ "$(cat saved.png)" = "an earlier plot" ] || fail "the earlier saved.png was replaced"
    no_temporaries
    printf '\nf\na.rwl\na.pth\n1\n(i2)\n1\n2\ns\nsaved.png\nc\n\n' |
        RUVELA_DEVICE=null "$program" >out.txt 2>err.txt
    png_complete saved.png
    # The command line's PNG pages, drawn into memory and encoded by the
    # program, are the library's own PNG page pixel for pixel.
    run --kind pith --plots pages/ a.rwl a.pth
    expect_status 0
    if command -v compare >/dev/null; then
        differ=$(compare -metric AE saved.png pages/a_BAI_means.png null: 2>&1)
        [ "$differ" = 0 ] || fail "the PNG page differs from the saved one in $differ pixels"
    fi
    ;;
OutputsAreCheckedBeforeAnythingIsWritten)
    setup
    # Each of these stops the run with one line naming the output; nothing
    # is written, and no folder is made.
    run --kind pith --out new --plots sub/a.pdf a.rwl a.pth
    expect_status 2
    expect_err "Ruvela: cannot create file new/sub/a.pdf: No such file or directory"
    [ ! -e new ] || fail "the folder new was made"
    mkdir -p full/summary.csv
    run --kind pith --csv --out full a.rwl a.pth
    expect_status 2
    expect_err "Ruvela: cannot create file full/summary.csv: Is a directory"
    [ "$(ls full)" = "summary.csv" ] || fail "written beside the folder in the way: $(ls full)"
    run --kind pith --out new --plots a_BAI/ a.rwl a.pth
    expect_status 2
    expect_err "Ruvela: cannot create file new/a_BAI/: it would be both the table of pair 1 and the plot folder"
    [ ! -e new ] || fail "the folder new was made"
    mkdir -p pages/a_BAI_a1.png
    run --kind pith --plots pages/ a.rwl a.pth
    expect_status 2
    expect_err "Ruvela: cannot create file pages/a_BAI_a1.png: Is a directory"
    [ ! -e a_BAI ] || fail "a table was written"
    # A run that stops at its first pair leaves no empty output folder.
    printf 'x\n' >bad.pth
    run --kind pith --out made/sub a.rwl bad.pth
    expect_status 1
    [ ! -e made ] || fail "an empty output folder was left"
    touch nofolder
    run --kind pith --out nofolder/x a.rwl a.pth
    expect_status 2
    expect_err "Ruvela: cannot create folder \"nofolder/x\": Not a directory"
    ;;
SummaryFilesAreReplacedTogether)
    setup
    run --kind pith --csv a.rwl a.pth
    expect_status 0
    cp BAm2.out BAm2.before
    # The dialogue checks no output before it writes: summary.csv, a folder,
    # fails only once the other three summary tables are written out, and
    # none of the four may replace the earlier run's.
    rm summary.csv && mkdir summary.csv
    printf '\nf\ngp.rwl\ngp_pith.txt\n1\n(i3)\n1\n\n' |
        RUVELA_DEVICE=null "$program" --csv >out.txt 2>err.txt
    status=$?
    expect_status 2
    expect_err "Ruvela: cannot create file summary.csv: Is a directory"
    cmp -s BAm2.out BAm2.before || fail "BAm2.out was replaced without summary.csv"
    no_temporaries
    ;;
NamesThatCannotBreakATable)
    setup
    name=$(printf 'g\nx\377.rwl')
    cp gp.rwl "$name"
    run --kind pith --csv "$name" gp_pith.txt
    expect_status 0
    [ "$(grep -c '^ Warning: File name "g?x?.rwl" holds control characters' out.txt)" = 1 ] ||
        fail "not told once: $(cat out.txt)"
    grep -q '^ Pair 1 of 1: g?x?.rwl with gp_pith.txt: 58 series' out.txt || fail "$(cat out.txt)"
    [ "$(sed -n 2p summary.csv | cut -d, -f1)" = "g?x?.rwl" ] || fail "summary.csv: $(sed -n 2p summary.csv)"
    [ "$(wc -l <summary.csv)" = 422 ] || fail "summary.csv holds a broken record"
    [ "$(sed -n 1p BAm2.out)" = " Year   SD     g?x?.rwl    " ] || fail "BAm2.out: $(sed -n 1p BAm2.out)"
    table=$(printf 'g\nx\377_BAI')
    [ "$(sed -n 1p "$table" | tr -d ' ')" = "g?x?.rwl" ] || fail "table heading: $(sed -n 1p "$table")"
    ;;
OneRunAtATimeInAFolder)
    setup
    mkdir shared
    # Another run holds the folder: this one waits for it, then writes.
    flock -o shared sleep 1 >/dev/null 2>&1 &
    holder=$!
    sleep 0.2
    run --kind pith --out shared a.rwl a.pth
    expect_status 0
    wait $holder
    grep -q '^Ruvela: waiting for the other run writing into folder "shared" to end$' err.txt ||
        fail "not told of the wait: $(cat err.txt)"
    # A run killed while holding it blocks no one.
    flock -o shared sleep 3 >/dev/null 2>&1 &
    holder=$!
    sleep 0.2
    kill -KILL $holder
    wait $holder 2>/dev/null
    run --kind pith --out shared a.rwl a.pth
    expect_status 0
    [ ! -s err.txt ] || fail "waited for a killed run: $(cat err.txt)"
    # The lock leaves nothing in the folder.
    [ "$(ls -A shared | tr '\n' ' ')" = "BAIcm2.out BAm2.out RRWmm.out a_BAI " ] ||
        fail "left in the folder: $(ls -A shared)"
    ;;
*)
    fail "no such case"
    ;;
esac
exit 0
