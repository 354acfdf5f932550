# shellcheck shell=bash
# What the demo and the package check leave behind, found and removed.
# Sourced.
#
# Every process they start carries a mark in its environment (VAR=VALUE,
# exported before anything starts): daemons that leave the process group,
# Wine's server and helpers, anything those started in turn.

# marked_processes VAR=VALUE: the pids of the processes carrying the mark.
marked_processes() {
  local entry variable
  for entry in /proc/[0-9]*; do
    [ "${entry#/proc/}" = "$BASHPID" ] && continue
    {
      while IFS= read -r -d '' variable; do
        if [ "$variable" = "$1" ]; then
          echo "${entry#/proc/}"
          break
        fi
      done <"$entry/environ"
    } 2>/dev/null || true
  done
}

# end_marked_processes VAR=VALUE: ends them, politely first.
end_marked_processes() {
  local pids
  mapfile -t pids < <(marked_processes "$1")
  [ ${#pids[@]} -gt 0 ] || return 0
  kill "${pids[@]}" 2>/dev/null || true
  for _ in $(seq 50); do
    mapfile -t pids < <(marked_processes "$1")
    [ ${#pids[@]} -gt 0 ] || return 0
    sleep 0.1
  done
  kill -KILL "${pids[@]}" 2>/dev/null || true
}

# wine_socket_folder PREFIX: the folder of the prefix's Wine server socket,
# named after the prefix's device and inode; it outlives the server.
wine_socket_folder() {
  local device inode socket dir
  read -r device inode < <(stat -c '%d %i' "$1")
  socket=$(printf 'server-%x-%x' "$device" "$inode")
  for dir in /tmp/wine-*/"$socket" "/tmp/.wine-$(id -u)/$socket"; do
    [ -d "$dir" ] && echo "$dir"
  done
  return 0
}

# remove_wine_prefix PREFIX: ends the prefix's programs and server, removes
# the prefix and the server's socket folder.
remove_wine_prefix() {
  [ -d "$1" ] || return 0
  local folder
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 wineserver -w 2>/dev/null || true
  wine_socket_folder "$1" | while read -r folder; do
    rm -rf "$folder"
    rmdir "$(dirname "$folder")" 2>/dev/null || true
  done
  rm -rf "$1"
}
