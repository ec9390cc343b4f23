#!/usr/bin/env bash
# Installs what is missing, builds, and starts the calendar with the bundled sample branding.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the calendar under xvfb-run (a virtual screen)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/lumora-calendar
fi
exec build/lumora-calendar
