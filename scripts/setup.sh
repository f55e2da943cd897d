#!/bin/sh
# Installs the Debian packages named, or without names the set zelk6 builds and tests with
# (ffmpeg included: the video test is part of the suite); does nothing when all are there.
# Every name exists as written on Debian 12 and 13 and Ubuntu 22.04 and 24.04.
set -eu

packages="${*:-cmake ninja-build pkg-config g++ libsdl2-dev libsdl2-image-dev libopenmpt-dev
libx11-dev zlib1g-dev libpng-dev libfreetype-dev googletest libgtest-dev libbenchmark-dev
xvfb xdotool openbox openmpt123 ffmpeg assimp-testmodels}"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "zelk6: installing$missing" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# A registry that cannot be reached fails the run with apt's own message, rather than hanging
# or going on with stale lists to a flood of failed downloads.
apt="-o Acquire::http::Timeout=30 -o Acquire::https::Timeout=30 -o Acquire::Retries=2"
$sudo apt-get $apt -o APT::Update::Error-Mode=any update -qq ||
    { echo "zelk6: cannot read the package lists, so cannot install$missing" >&2; exit 1; }
# sudo drops the environment, so the front end is set inside it.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get $apt install -y -qq --no-install-recommends $missing >/dev/null
