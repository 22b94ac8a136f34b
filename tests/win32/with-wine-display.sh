#!/usr/bin/env bash
# Runs a Windows test program under wine against a virtual X server of its own: wine makes no window
# without a display. The wine session of the build's prefix ends with the test, before its X server.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec "$here/../e2e/with-xvfb.sh" bash -c \
  'VALBRIX_WINE_DISPLAY=$DISPLAY exec "$0" "$@"' "$here/../../cmake/wine-run.sh" "$@"
