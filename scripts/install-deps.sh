#!/usr/bin/env bash
# Installs everything Vocalix needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-qpa-plugins libqt6opengl6-dev
  # Qt's own dialogs, buttons and context menus in Russian (qtbase_ru.qm)
  qt6-translations-l10n
  libespeak-ng-dev espeak-ng-data espeak-ng
  # reading aloud plays through the PulseAudio protocol (served by pipewire-pulse)
  libpulse0 libpulse-dev
  libpcre2-dev libsndfile1-dev libsamplerate0-dev
  # EPUB books are ZIP archives
  libzip-dev
  libx11-dev libx11-xcb-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  lame vorbis-tools cups-client
  # the tests read the tags of MP3 files back with mid3v2
  python3-mutagen
  # the .desktop entry is checked by the package tests; cpack finds the programs' libraries
  # with file and dpkg-shlibdeps
  desktop-file-utils file dpkg-dev
  # Word and RTF documents are converted by LibreOffice Writer, headless
  libreoffice-writer-nogui
  pipewire pipewire-pulse wireplumber pulseaudio-utils dbus dbus-x11
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core sox
  # the window's accessibility tree is checked over AT-SPI
  at-spi2-core python3-pyatspi
  clang libclang-rt-14-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
