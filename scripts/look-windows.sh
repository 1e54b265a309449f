#!/usr/bin/env bash
# Shows build-win/vorn.exe under Wine on a virtual screen and saves a picture
# of it, for a person to look at: scripts/look-windows.sh [out.png]
# The program runs as on a Chinese server (code page 936) in a Wine prefix of
# its own, with WenQuanYi Micro Hei standing in for the dialogs' 宋体.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/install-deps.sh
vorn_packages=(xvfb imagemagick fonts-wqy-microhei)
vorn_install_deps
out=$(realpath -m "${1:-build-win/look.png}")
export WINEPREFIX=$PWD/build-win/wine-look WINEDEBUG=-all DISPLAY=:77
export LOCPATH=$(ls -d ~/.cache/vorn-win/*/locale | head -1)
{ export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null  # Wine finds the locale, this shell need not
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
screen=$!
trap 'wineserver -k 2>/dev/null; kill $screen' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
for face in 宋体 SimSun; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
done
wine build-win/vorn.exe </dev/null >/dev/null 2>&1 &
sleep 10
import -window root -crop 640x440+0+0 +repage "$out"
echo "$out"
