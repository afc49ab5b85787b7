#!/usr/bin/env bash
# Installs the Debian 12 packages Orvanta needs that are not there yet.
#   scripts/install-deps.sh          to build and run the program
#   scripts/install-deps.sh --package  also what building the Debian package needs
#   scripts/install-deps.sh --tests    also what the tests, the desktop checks and the package check use
set -euo pipefail

# lrelease (qt6-l10n-tools, found through qt6-tools-dev) compiles the translations; Qt's own
# translations give its stock texts in the user's language.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libicu-dev libxcb1-dev
          libxcb-xfixes0-dev libpulse-dev libpulse0 fonts-inter qt6-tools-dev qt6-l10n-tools
          qt6-translations-l10n)
if [[ "${1:-}" == "--package" || "${1:-}" == "--tests" ]]; then
    # CPack finds the program's library dependencies with dpkg-shlibdeps, and ELF files with file.
    packages+=(dpkg-dev file)
fi
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(xvfb openbox picom trayer xdotool x11-utils x11-xserver-utils imagemagick pulseaudio pulseaudio-utils
               sox dbus python3 clang-format desktop-file-utils appstream lintian librsvg2-bin clang libclang-rt-14-dev
               at-spi2-core python3-pyatspi locales shellcheck)
    # The card on KDE's window manager and on sway (headless, with XWayland): e2e_kwin, e2e_sway.
    packages+=(kwin-x11 wmctrl sway xwayland grim)
    # Another window to take the keyboard and cover the card, and a notification service.
    packages+=(xterm dunst)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
