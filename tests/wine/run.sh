#!/usr/bin/env bash
# CTest's emulator for the cross-built tests: runs one Windows program under
# Wine in the prefix that scripts/windows.sh prepares.
#
#   run.sh --dlls DIR[:DIR...] PROGRAM [ARGUMENT...]
#
# DIRs hold the DLLs the program needs (Qt's, the compiler's), which lie
# beside none of the test programs.
#
# Wine keeps the Unix QT_* variables from the program (they would confuse a
# Windows Qt); WINEQT_* reach it as QT_*. QTest's output into a pipe arrives
# empty under Wine, so a test writes its log to a file, printed afterwards.
set -uo pipefail

dlls=
if [ "${1:-}" = --dlls ]; then
  dlls=$2
  shift 2
fi
program=$1
shift
export WINEPREFIX=${KLADDO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kladdo/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
while IFS='=' read -r name value; do
  export "WINE$name=$value"
done < <(env | grep '^QT_')
# The offscreen platform has no system fonts to ask for.
export WINEQT_QPA_FONTDIR=${WINEQT_QPA_FONTDIR:-Z:/usr/share/fonts/truetype/dejavu}
path=
IFS=: read -r -a dirs <<<"$dlls"
for dir in "${dirs[@]}"; do
  path+="Z:${dir//\//\\};"
done
export WINEPATH="$path${WINEPATH:-}"

case "$(basename "$program")" in
  tst_*)
    log=$(mktemp "${TMPDIR:-/tmp}/kladdo-wine-test.XXXXXX")
    trap 'rm -f "$log"' EXIT
    wine "$program" -o "$log,txt" "$@" </dev/null >/dev/null 2>"$log.err"
    status=$?
    cat "$log"
    grep -v '^$' "$log.err" >&2
    rm -f "$log.err"
    exit "$status"
    ;;
  *)
    exec wine "$program" "$@"
    ;;
esac
