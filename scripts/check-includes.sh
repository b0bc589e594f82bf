#!/usr/bin/env bash
# The folders depend one way: platform <- controls <- link <- setup <- app. Fails, naming every
# offending line, when a file of link/ includes a header of app/ or setup/, or a file of setup/
# includes one of app/. A folder that does not exist yet has nothing to check.
# Usage: check-includes.sh [source root]   (default: this repository)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# folder: the folders whose headers it must not include
rules=("link:app setup" "setup:app")

status=0
for rule in "${rules[@]}"; do
    folder=${rule%%:*}
    [ -d "$folder" ] || continue
    for banned in ${rule#*:}; do
        # "app/X.h", <app/X.h> and relative forms such as "../app/X.h".
        pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]([.]{1,2}/)*$banned/"
        found=0
        hits=$(grep -rnE "$pattern" "$folder") || found=$?
        if [ "$found" -gt 1 ]; then
            echo "include direction: could not search $folder/" >&2
            status=1
        elif [ "$found" -eq 0 ]; then
            echo "include direction: $folder/ must not include headers of $banned/:" >&2
            echo "$hits" | sed 's/^/    /' >&2
            status=1
        fi
    done
done
[ "$status" -eq 0 ] || echo "Dependencies point one way: platform <- controls <- link <- setup <- app." >&2
exit "$status"
