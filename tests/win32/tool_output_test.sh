# vellumar-tool.exe under Wine prints the same bytes as the Linux tool for "check" and "export-json",
# on standard output and on standard error, and ends with the same exit code.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
cd "$VELLUMAR_ROOT"
linux_tool=$VELLUMAR_ROOT/build/tool-host/src/tools/vellumar-tool
cmake -S . -B build/tool-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLUMAR_TESTS=OFF -DVELLUMAR_BENCH=OFF >/dev/null
cmake --build build/tool-host -j2 --target vellumar-tool >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
for stage in Data/FILE/stage.txt tests/fuzz_corpus/stage_text/*; do
  for command in check export-json; do
    set +e
    "$linux_tool" $command "$stage" >"$out/linux" 2>"$out/linux.err"; linux_rc=$?
    wine "$VELLUMAR_WIN_BUILD/src/tools/vellumar-tool.exe" $command "$stage" >"$out/windows" 2>"$out/windows.err"
    windows_rc=$?
    set -e
    if [ $linux_rc != $windows_rc ] || ! cmp -s "$out/linux" "$out/windows" ||
      ! cmp -s "$out/linux.err" "$out/windows.err"; then
      echo "tool_output_test: $command $stage differs (exit $linux_rc on Linux, $windows_rc on Windows)" >&2
      diff <(od -c "$out/linux" | head -20) <(od -c "$out/windows" | head -20) >&2 || true
      status=1
    fi
  done
done
exit $status
