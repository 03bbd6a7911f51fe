#!/usr/bin/env bash
# Checks that includes between the folders of src/ point down. Fails, naming each offending
# line, when one does not.
#
#   core   src/storage, src/calendar and every src/<area>/core: no Qt, and only other core
#          folders.
#   others the core folders, their own folder, and the folders listed for them below.
#   app    anything: it puts the program together.
#
# A few headers are services every page uses (the change notifier, the settings and the
# password prompt); pages may include them whatever their folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

# folder: the folders (besides the core ones) it may include.
declare -A allowed=(
    [platform]=""
    [widgets]="platform"
    [richtext]="platform widgets"
    [chimes]="platform widgets"
    [nettime]="platform widgets"
    [alarms]="platform widgets chimes"
    [notes]="platform widgets richtext"
    [events]="platform widgets richtext"
    [tools]="platform widgets nettime"
    [settings]="platform widgets alarms"
    [browser]="platform widgets"
    [wake]=""
)
services=" app/change_notifier.h app/translations.h settings/settings_service.h "
services+=" settings/pwd_input_dlg.h settings/pwd_setting_dlg.h settings/pwd_dlg_layout.h "
# The lowest layers use no service.
no_services=" platform widgets wake "

is_core() { [[ $1 == storage || $1 == calendar || $1 == */core ]]; }

bad=0
complain() {
    echo "$1: $2" >&2
    bad=1
}

while IFS= read -r file; do
    rel="${file#src/}"
    area="${rel%%/*}"
    folder="$(dirname "$rel")"
    if [[ $folder == */core || $folder == */core/* ]]; then
        folder="${area}/core"
    else
        folder="$area"
    fi
    while IFS=: read -r line text; do
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[A-Za-z]*|qt[a-z]*/) ]]; then
            is_core "$folder" && complain "$file:$line" "core code includes Qt: ${text}"
            continue
        fi
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
        target="${BASH_REMATCH[1]}"
        [[ $target == */* ]] || continue  # generated or local headers
        tarea="${target%%/*}"
        [[ -d src/$tarea ]] || continue
        tfolder="$tarea"
        if [[ $target == */core/* ]]; then
            tfolder="${tarea}/core"
        fi
        is_core "$tfolder" && continue
        if is_core "$folder"; then
            complain "$file:$line" "core code includes \"$target\" (not core)"
            continue
        fi
        [[ $tarea == "$area" || $area == app ]] && continue
        if [[ " ${allowed[$area]-} " == *" $tarea "* ]]; then
            continue
        fi
        if [[ $services == *" $target "* && $no_services != *" $area "* ]]; then
            continue
        fi
        complain "$file:$line" "src/$area may not include \"$target\""
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find src \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.in' \) | sort)

if [[ $bad -ne 0 ]]; then
    echo "Includes point up (see above); scripts/check_includes.sh lists what may include what." >&2
    exit 1
fi
echo "includes: every folder includes only what lies below it."
