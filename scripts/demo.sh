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

# Wine's virtual desktop window lives only while some program holds it, and
# brovane.exe opens no window of its own: an explorer kept open for the demo
# holds the desktop, which then repaints with the new wallpaper.
wine explorer /desktop=Default,800x600 >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
  sleep 0.1
done

# A relative picture path: the program stores its full path.
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
