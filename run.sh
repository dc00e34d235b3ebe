#!/usr/bin/env bash
# Installs what is missing, builds Bitonix and starts it with the given files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=Release -DBITONIX_TESTS=OFF -DBITONIX_BENCH=OFF
if [ -x "$here/build/bin/bitonix" ]; then
  exec "$here/build/bin/bitonix" "$@"
fi
exec "$here/build/bin/bitonix-cli" "${@:---help}"
