#!/bin/sh
# The writer's files expanded by Wine's LZ functions must equal their originals byte for byte:
# szdd_wine_expansion.sh SAMPLE_WRITER LZ_EXPAND_EXE WORK_FOLDER. Exit code 77 (skipped) when
# Wine is not installed.
set -eu
writer=$1 expander=$2 work=$3
if ! command -v wine >/dev/null 2>&1; then
    echo "skipped: wine is not installed (Debian packages wine wine64), so Wine's LZ expansion was not checked"
    exit 77
fi
rm -rf "$work"
mkdir -p "$work/samples"
"$writer" "$work/samples"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
set --
for original in "$work"/samples/*; do
    case "$original" in *.DA_) continue ;; esac
    set -- "$@" "$original.DA_" "$original.out"
done
# Wine takes host paths as they are (drive Z: is the root).
wine "$expander" "$@" </dev/null
status=0
count=0
for original in "$work"/samples/*; do
    case "$original" in *.DA_|*.out) continue ;; esac
    count=$((count + 1))
    if ! cmp -s "$original" "$original.out"; then
        echo "Wine expanded $(basename "$original").DA_ differently from its original"
        status=1
    fi
done
wineserver -k 2>/dev/null || true
[ $status -eq 0 ] && echo "Wine's LZ functions expanded all $count files byte for byte"
rm -rf "$work"
exit $status
