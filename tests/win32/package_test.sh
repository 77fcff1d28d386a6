# scripts/package-windows writes a zip with both programs, Data/ and README.txt, and the unpacked tool
# runs from its own folder under Wine.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$VELLUMAR_ROOT/scripts/package-windows" "$out/vellumar-windows.zip" >/dev/null
listing=$(unzip -Z1 "$out/vellumar-windows.zip")
status=0
for entry in Vellumar/vellumar.exe Vellumar/vellumar-tool.exe Vellumar/README.txt Vellumar/Data/FILE/stage.txt \
  Vellumar/Data/FILE/model.json Vellumar/Data/shader/basic.fx Vellumar/Data/model/box.x Vellumar/Data/texture/grass.png; do
  grep -qx "$entry" <<<"$listing" || { echo "package_test: the zip lacks $entry" >&2; status=1; }
done
unzip -q "$out/vellumar-windows.zip" -d "$out"
grep -q d3dx9_43.dll "$out/Vellumar/README.txt" || { echo "package_test: README.txt does not name d3dx9_43.dll" >&2; status=1; }
if ! (cd "$out/Vellumar" && wine vellumar-tool.exe check 'Data\FILE\stage.txt' >/dev/null 2>"$out/tool.err"); then
  echo "package_test: the packaged vellumar-tool.exe cannot check the sample stage:" >&2
  cat "$out/tool.err" >&2
  status=1
fi
exit $status
