#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the program or the tests need and is missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
      libxcb1-dev libx11-dev libfontconfig-dev libdbus-1-dev libgtest-dev googletest libical-dev tzdata fonts-liberation2 fonts-dejavu-core
      xvfb xauth xdotool x11-utils imagemagick)
# The fonts most desktops install (GNOME's and KDE's Noto): the drawing tests then meet
# fallback fonts for Arabic, Hebrew and other scripts as users' machines do.
pkgs+=(fonts-noto-core)
# The tray tests: an XEmbed tray, a StatusNotifier watcher and host on a session bus of
# their own, D-Bus calls, reading menu texts off the screen.
pkgs+=(trayer haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils
       dbus-daemon libglib2.0-bin tesseract-ocr tesseract-ocr-eng)
# Benchmarks: Google Benchmark, and the X libraries of the watcher that times the windows
# (DAMAGE sees drawing, XTest presses the rebuild key). The desktop cases start as on a
# desktop: its CJK and colour emoji fonts beside Noto's, and a session bus (dbus-launch).
# The list control's test draws typed emoji with the colour emoji font too.
pkgs+=(libbenchmark-dev libxdamage-dev libxtst-dev)
pkgs+=(fonts-noto-cjk fonts-noto-color-emoji dbus-x11)
# The checked builds: sanitizers and fuzzing with clang; PDF tools for the printing test.
pkgs+=(clang libclang-rt-dev poppler-utils)
# Window managers for the whole-program tests that need one: openbox; icewm, which also
# honours the Motif hints that take buttons off a window's frame; xfwm4 and metacity, which
# keep windows on the screen; i3, which resizes a floating window its own way when it
# restarts; kwin on X11 with its Breeze title bars, which hides a program's utility windows
# while another program is active; fluxbox, which gives every new window the keyboard.
# wmctrl asks a window manager to close a window; python3-xlib
# reads the screen quickly enough to catch a slide part-way; pkill (procps) ends a window
# manager started with a session bus of its own.
pkgs+=(openbox icewm xfwm4 metacity i3-wm kwin-x11 kwin-style-breeze fluxbox wmctrl python3-xlib procps)
# Wayland sessions nested in the window test's virtual screen, the program on their XWayland
# (kwin_wayland, mutter); Qt's Wayland platform, which a session may ask Qt programs to use.
pkgs+=(kwin-wayland mutter xwayland qt6-wayland)
pkgs+=(libfaketime)   # the tray test runs the program across a midnight of its own
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
