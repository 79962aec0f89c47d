#!/bin/sh
# Fuzzes the RTF reader with libFuzzer (clang, address and undefined-behaviour
# sanitizers) against the system's Qt.
#
#   fuzz/run.sh [SEKUNDEN]   builds and fuzzes (default 60 s, one job) from
#                            corpus/rtf and the test documents; new inputs go
#                            to fuzz/build/korpus, crashes to fuzz/build/
#   fuzz/run.sh --merge      minimises corpus/rtf and the new inputs into
#                            corpus/rtf
set -eu
hier=$(cd "$(dirname "$0")" && pwd)
quellen=$hier/..
bau=$hier/build
mkdir -p "$bau/korpus"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -fPIC -I"$quellen/src" $(pkg-config --cflags Qt6Gui Qt6Core) \
    "$hier/rtf_fuzz.cpp" "$quellen/src/kern/formate/rtf.cpp" "$quellen/src/kern/formate/rtfleser.cpp" \
    "$quellen/src/kern/formate/rtfschriften.cpp" "$quellen/src/kern/formate/rtfsteuerwoerter.cpp" \
    "$quellen/src/kern/formate/rtftabellen.cpp" \
    $(pkg-config --libs Qt6Gui Qt6Core) -o "$bau/rtf_fuzz"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A smaller quarantine and shorter allocation stacks keep the sanitizer's
# own memory from growing over a long run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=64:malloc_context_size=10}

if [ "${1:-}" = "--merge" ]; then
    rm -rf "$bau/neu"
    mkdir -p "$bau/neu"
    # Edges only, without hit counts: a small corpus that covers the code.
    "$bau/rtf_fuzz" -merge=1 -use_counters=0 -max_len=4096 "$bau/neu" \
        "$hier/corpus/rtf" "$bau/korpus"
    rm -rf "$hier/corpus/rtf"
    mv "$bau/neu" "$hier/corpus/rtf"
    echo "Korpus: $(ls "$hier/corpus/rtf" | wc -l) Dateien"
    exit 0
fi

sekunden=${1:-60}
cd "$bau"
"$bau/rtf_fuzz" -max_total_time="$sekunden" -max_len=4096 -timeout=10 -rss_limit_mb=3072 \
    -jobs=1 -workers=1 -dict="$hier/rtf.dict" -artifact_prefix="$bau/" \
    "$bau/korpus" "$hier/corpus/rtf" "$quellen/tests/kern/formate/rtf"
