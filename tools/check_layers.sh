#!/usr/bin/env bash
# Includes run one way: programs, then features, then shared layers. Each
# folder may include only itself and the folders listed for it here; a
# product folder holds no test source. Prints every offending line.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [skin]="skin"
  [common]="common skin"
  [netmgmt]="netmgmt common"
  [controls]="controls common"
  [monitor]="monitor netmgmt common"
  [query]="query monitor controls common"
  [scanner]="scanner common skin"
  [ping]="ping common skin"
  [shell]="shell monitor query controls netmgmt common skin"
)

status=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "(\.\.\/)?([^/"]+)\/.*/\2/' <<<"$hit")
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "layering: $file includes $target/: ${hit#*:}"; status=1 ;;
    esac
  done < <(find "$folder" -type f | grep -E '\.(h|cpp|c|rc|rci)$' | xargs -r grep -HE '^\s*#\s*include "[^/"]+/' || true)
  if find "$folder" -type f | grep -E '(^|/)test|_test(_win)?\.(cpp|h)$'; then
    echo "layering: test sources above live in the product folder $folder/"
    status=1
  fi
done
[ $status -eq 0 ] && echo "layering: every include runs one way"
exit $status
