#!/usr/bin/env bash
# End-to-end test of the installed program:
#   tests/e2e/run.sh BUILD_BIN SCREENSHOT_DIR
# Installs the npm package ws into tests/e2e/node_modules when it is missing, then
# runs installed-program.mjs with Node.js.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -e "$here/node_modules/ws/package.json" ]; then
    (cd "$here" && npm install --no-audit --no-fund --loglevel=error >/dev/null)
fi
exec node "$here/installed-program.mjs" "$@"
