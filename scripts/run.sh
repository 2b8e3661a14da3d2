#!/usr/bin/env bash
# Installs what is missing, builds, and starts TKV-05 on the bundled sample data.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
program="$here/build/app/tkv05"
if [ ! -x "$program" ]; then
    echo "TKV-05 is not built yet: its main window does not exist in this version."
    echo "Built so far:"; find "$here/build" -maxdepth 3 -type f -executable -not -path '*/CMakeFiles/*' | sort | sed 's/^/  /'
    exit 1
fi
# The program reads its data tree below the working directory: application/, HELP/ and DATA/.
cd "$here"
exec "$program" "$@"
