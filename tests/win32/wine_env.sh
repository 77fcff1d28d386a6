# Sourced by scripts/test-windows and by each tests/win32/*_test.sh: where the Windows programs are and
# the Wine prefix they run in. The prefix lives in the build folder and is created once (wineboot is slow).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export VELLUMAR_ROOT=$root
export VELLUMAR_WIN_BUILD=${VELLUMAR_WIN_BUILD:-$root/build/windows}
export WINEPREFIX=${WINEPREFIX:-$VELLUMAR_WIN_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and without this wineboot asks to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
# Wine reads the command line and names the files on the Linux side in the locale's character set; in
# the C locale a name outside ASCII can be neither passed nor created. UTF-8, as the Linux programs see it.
export LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# A Wine server left by an earlier program would run its windows on that program's display, which may be
# gone: every test starts a server of its own.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
