# vellumar-tool.exe under Wine prints the same bytes as the Linux tool for "check" and "export-json",
# on standard output and on standard error, and ends with the same exit code; "format" writes the same
# file. Besides our sample stages: Windows line ends, a byte order mark, UTF-8 tag and model names, a
# file cut off in a record, a missing file, a name written with backslashes, names outside ASCII, and
# models the catalog lacks. The tool needs no display: it makes no window.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
cd "$VELLUMAR_ROOT"
linux_tool=$VELLUMAR_ROOT/build/tool-host/src/tools/vellumar-tool
windows_tool=$VELLUMAR_WIN_BUILD/src/tools/vellumar-tool.exe
# The variants are named relative to the working directory, which both programs see the same way.
stages=$(realpath --relative-to=. "$VELLUMAR_WIN_BUILD")/tool-stages
out=$stages/out

compare() {  # compare WHAT: the last pair of runs
  if [ $linux_rc != $windows_rc ] || ! cmp -s "$out/linux" "$out/windows" ||
    ! cmp -s "$out/linux.err" "$out/windows.err"; then
    echo "tool_output_test: $1 differs (exit $linux_rc on Linux, $windows_rc on Windows)" >&2
    diff <(od -c "$out/linux" | head -20) <(od -c "$out/windows" | head -20) >&2 || true
    diff "$out/linux.err" "$out/windows.err" >&2 || true
    status=1
  fi
}
run() {  # run ARGS...: both tools with the same arguments
  set +e
  "$linux_tool" "$@" >"$out/linux" 2>"$out/linux.err"; linux_rc=$?
  wine "$windows_tool" "$@" >"$out/windows" 2>"$out/windows.err"; windows_rc=$?
  set -e
}
status=0

cmake -S . -B build/tool-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_TESTS=OFF -DVELLUMAR_BENCH=OFF >/dev/null
cmake --build build/tool-host -j2 --target vellumar-tool >/dev/null
rm -rf "$stages"
mkdir -p "$out"
trap 'rm -rf "$stages"' EXIT
sample=Data/FILE/stage.txt
sed 's/$/\r/' $sample >"$stages/crlf.txt"
{ printf '\xEF\xBB\xBF'; cat $sample; } >"$stages/bom.txt"
{ sed 's/^Tag : TEST$/Tag : Tür/' $sample; sed 's/^Tag : TEST$/Tag : 木の家 ☂/' $sample; } >"$stages/utf8_tags.txt"
{ head -n 8 $sample; printf 'Pos : -10 , 1'; } >"$stages/cut.txt"
sed 's/^ModelLabel : crate$/ModelLabel : Kiste 箱/' $sample >"$stages/unknown_models.txt"
named="$stages/Bühne 舞台/Bühne_舞台.txt" && mkdir -p "$stages/Bühne 舞台" && cp $sample "$named"

for stage in $sample tests/fuzz_corpus/stage_text/{bad,example,variants}.txt "$stages"/{crlf,bom,utf8_tags}.txt \
  "$stages/missing.txt" 'Data\FILE\stage.txt' "$named" "$stages/Bühne 舞台/fehlt_箱.txt"; do
  for command in check export-json; do
    run $command "$stage"
    compare "$command $stage"
  done
done
for stage in "$stages"/{unknown_models,cut}.txt; do  # cut ends in an object without a model
  for command in check export-json; do
    run $command "$stage"
    compare "$command $stage"
  done
done
for stage in "$stages/crlf.txt" "$stages/utf8_tags.txt" "$named"; do
  set +e
  "$linux_tool" format "$stage" "$stages/linux.out" >"$out/linux" 2>"$out/linux.err"; linux_rc=$?
  wine "$windows_tool" format "$stage" "$stages/windows.out" >"$out/windows" 2>"$out/windows.err"; windows_rc=$?
  set -e
  compare "format $stage"
  if ! cmp -s "$stages/linux.out" "$stages/windows.out"; then
    echo "tool_output_test: format $stage wrote different files" >&2
    status=1
  fi
done
wineserver -k 2>/dev/null || true
exit $status
