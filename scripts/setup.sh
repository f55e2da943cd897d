#!/bin/sh
# Installs the Debian packages zelk6 builds and tests with; does nothing when all are there.
set -eu

packages="cmake ninja-build pkg-config g++ libsdl2-dev libsdl2-image-dev libopenmpt-dev
libassimp-dev zlib1g-dev libpng-dev googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils openmpt123
fonts-dejavu-core libfreetype-dev ffmpeg assimp-testmodels clang libclang-rt-14-dev"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "zelk6: installing$missing" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
