#!/usr/bin/env bash
# The program's main job under Wine: run brovane.exe with a style option and a
# picture in a fresh prefix with a virtual desktop, show the debugger lines,
# and leave a screenshot of the desktop in out/desktop.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
BUILD_DIR=${BUILD_DIR:-build}
mkdir -p out
source scripts/wine-session.sh
trap stop_wine_session EXIT
start_wine_session

run_dir="$WINE_SESSION_DIR/run"
mkdir -p "$run_dir"
cp "$BUILD_DIR/app/brovane.exe" "$run_dir/"
# A sample picture of the project's own, drawn here.
convert -size 96x64 gradient:'#2060c0-#f0d040' -fill white -draw 'circle 48,32 48,12' \
  -type TrueColor "BMP3:$run_dir/sample.bmp"

echo "running: brovane.exe /tile sample.bmp"
status=0
(cd "$run_dir" && WINEDEBUG=warn+debugstr wine brovane.exe /tile sample.bmp) \
  2>"$WINE_SESSION_DIR/debug.log" || status=$?
echo "debugger output:"
sed -n 's/.*OutputDebugStringA "\(.*\)"$/  \1/p' "$WINE_SESSION_DIR/debug.log" \
  | sed 's/\\r\\n$//; s/\\\\/\\/g'
echo "exit code: $status"
echo "registry afterwards:"
wine reg query 'HKCU\Control Panel\Desktop' 2>/dev/null | grep -iE 'wallpaper|tilewallpaper' || true
sleep 2
import -window root out/desktop.png
echo "screenshot: out/desktop.png"
