# vellumar.exe under Wine: "File" > "Open..." shows the system's "Open Stage" dialog over the editor,
# Escape in it cancels without an answer and the editor goes on, and Escape then ends it with code 0.
# VELLUMAR_SHOTS=DIR keeps a screenshot of the dialog in DIR.
# Retried once by scripts/test-windows when it fails: on a loaded machine a key can be tapped between the
# frames the test waits for.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
exe=$VELLUMAR_WIN_BUILD/src/app/vellumar.exe
[ -f "$exe" ] || { echo "file_dialog_test: $exe is not built" >&2; exit 1; }

exec xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
set -uo pipefail
exe=$1 data=$2
work=$(mktemp -d)
mkdir -p "$work/Data"
for folder in "$data"/*; do ln -s "$folder" "$work/Data/"; done
rm "$work/Data/FILE"
cp -r "$data/FILE" "$work/Data/FILE"
cd "$work"
fail() {
  echo "file_dialog_test: $*" >&2
  import -window root "$work/failed.png" 2>/dev/null && echo "file_dialog_test: the screen is in $work/failed.png" >&2
  kill "$pid" 2>/dev/null; wineserver -k; exit 1
}
alive() { kill -0 "$pid" 2>/dev/null; }
click() {
  xdotool mousemove --window "$window" "$1" "$2"; sleep 0.4
  xdotool mousedown 1; sleep 0.3; xdotool mouseup 1; sleep 0.6
}
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }

wine "$exe" >"$work/editor.log" 2>&1 &
pid=$!
window=""
for _ in $(seq 600); do
  alive || fail "vellumar.exe ended before its window showed"
  box=$(visible "^警告！\$")
  # Wine only: the effect compiler rejects the sample effects'"'"' annotations, one box per effect.
  if [ -n "$box" ]; then xdotool windowfocus --sync "$box" key Return 2>/dev/null; sleep 0.3; continue; fi
  window=$(visible "^Vellumar\$")
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled Vellumar within 60 s"
xdotool windowfocus --sync "$window"
sleep 1
click 26 48   # "File"
click 36 128  # "Open..."
dialog=""
for _ in $(seq 100); do dialog=$(visible "^Open Stage\$"); [ -n "$dialog" ] && break; sleep 0.1; done
[ -n "$dialog" ] || fail "no \"Open Stage\" dialog after \"File\" > \"Open...\""
sleep 1
[ -n "${VELLUMAR_SHOTS:-}" ] && import -window root "$VELLUMAR_SHOTS/file_dialog.png"
xdotool windowfocus --sync "$dialog" key Escape
for _ in $(seq 50); do [ -z "$(visible "^Open Stage\$")" ] && break; sleep 0.1; done
[ -z "$(visible "^Open Stage\$")" ] || fail "Escape does not cancel the dialog"
sleep 1
alive || fail "cancelling the dialog ended the editor"
xdotool mousemove --window "$window" 1100 360
xdotool windowfocus --sync "$window" key Escape
code=""
for _ in $(seq 100); do alive || { wait "$pid"; code=$?; break; }; sleep 0.1; done
[ "$code" = 0 ] || fail "Escape after the dialog did not end the editor with code 0 (${code:-still running})"
wineserver -k
rm -rf "$work"
' _ "$exe" "$VELLUMAR_ROOT/Data"
