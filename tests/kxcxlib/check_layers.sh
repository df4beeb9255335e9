#!/usr/bin/env bash
# The camera library's folders are layers: each includes only folders of layers below its own.
# The bottom layer (sync, thread, object, log: events, threads, module objects and logging) is one
# layer whose folders may include one another. Prints every include that reaches up or sideways.
#   check_layers.sh LIBRARY-SRC-FOLDER
set -euo pipefail
src="${1:?usage: check_layers.sh kxcxlib/src}"

# Layer of each folder, bottom first.
declare -A layer=(
  [sync]=0 [thread]=0 [object]=0 [log]=0
  [usb]=1 [device]=2 [regs]=3 [acq]=4 [load]=5 [gamma]=6 [variant]=7 [frame]=8 [api]=9
)

status=0
for dir in "$src"/*/; do
  folder="$(basename "$dir")"
  if [ -z "${layer[$folder]+set}" ]; then
    echo "$folder/: a folder without a layer (add it to tests/kxcxlib/check_layers.sh)"
    status=1
    continue
  fi
  while IFS= read -r hit; do
    file="${hit%%:*}"
    target="${hit#*#include \"}"
    target="${target%%/*}"
    [ "$target" = "$folder" ] && continue
    [ -n "${layer[$target]+set}" ] || continue  # another library's folder (boardsim)
    if [ "${layer[$target]}" -gt "${layer[$folder]}" ] ||
       { [ "${layer[$target]}" -eq "${layer[$folder]}" ] && [ "${layer[$folder]}" -ne 0 ]; }; then
      echo "${file#"$src"/}: includes $target/, a layer not below $folder/"
      status=1
    fi
  done < <(grep -rHoE '#include "[a-z]+/' "$dir" || true)
done
[ $status -eq 0 ] && echo "every include of $src goes down"
exit $status
