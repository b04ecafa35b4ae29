#!/usr/bin/env bash
# Each folder of src/ includes only the folders below it: review, stats,
# exchange and essay sit on store alone; only app brings the features together.
set -euo pipefail
src="$1"
declare -A allowed=(
  [platform]=""
  [store]="platform"
  [render]="platform store"
  [browser]="platform store render"
  [settings]="platform store render browser"
  [exam]="platform store render browser settings"
  [review]="platform store"
  [stats]="platform store"
  [exchange]="platform store"
  [essay]="platform store"
)
bad=0
for dir in "${!allowed[@]}"; do
  while IFS=: read -r file line folder; do
    [ "$folder" = "$dir" ] && continue
    case " ${allowed[$dir]} " in *" $folder "*) continue ;; esac
    echo "$file:$line: $dir may not include $folder/"
    bad=1
  done < <(grep -rnoE '^#include "[a-z]+/' "$src/$dir" | sed -E 's/#include "([a-z]+)\/$/\1/')
done
exit $bad
