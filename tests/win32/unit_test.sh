# The Windows platform layer's unit tests (vellumar_win32_tests.exe) under Wine on a virtual display;
# extra arguments go to the test program (--gtest_filter=...).
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
cd "$VELLUMAR_ROOT"
program=$VELLUMAR_WIN_BUILD/tests/win32/vellumar_win32_tests.exe
if [ ! -f "$program" ]; then
  echo "unit_test: $program is not built" >&2
  exit 1
fi
# Wine's own processes end before the display does, so nothing complains about a lost X connection.
VELLUMAR_SOURCE_DIR=. xvfb-run -a -s "-screen 0 1600x1000x24" \
  bash -c 'wine "$0" --gtest_brief=1 "$@"; status=$?; wineserver -k; exit $status' "$program" "$@"
