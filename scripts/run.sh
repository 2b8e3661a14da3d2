#!/usr/bin/env bash
# Installs what is missing, builds, and starts TKV-05 on the bundled sample data.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
# The program reads its data tree below the working directory (application/, HELP/ and DATA/) and
# keeps its settings there in Tkv.ini.
cd "$here"
exec "$here/build/app/tkv05" "$@"
