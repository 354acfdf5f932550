# Shared by the scripts that run Filvane against a private smbd in a network
# namespace of their own. Sourced after filvane_wine.sh.
harness_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Runs the calling script again with ARGS inside a fresh namespace and exits
# with its status; returns at once when already inside. Wine's sockets belong
# to its wineserver: with_wine.sh starts a fresh one inside the namespace, so
# Filvane reaches this smbd and nothing else.
run_in_namespace() {  # run_in_namespace NAME ARGS...
  [ "${FILVANE_IN_NAMESPACE:-}" = 1 ] && return 0
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }
  command -v smbd >/dev/null || { echo "SKIP: no smbd"; exit 77; }
  local ns=filvane-$1-$$
  shift
  ip netns add "$ns" || fail "cannot make a network namespace"
  trap "ip netns del '$ns'" EXIT
  ip netns exec "$ns" ip link set lo up
  FILVANE_IN_NAMESPACE=1 ip netns exec "$ns" "$harness_dir/../with_wine.sh" "$0" "$@"
  exit $?
}

# Makes the run's folder D and starts a private smbd in it; the caller's
# finish function, trapped on exit, ends with stop_private_server.
start_private_server() {  # start_private_server NAME
  D=$(mktemp -d "/tmp/filvane-$1.XXXXXX")
  chmod 755 "$D"
  trap finish EXIT
  "$harness_dir/samba_server.sh" start "$D" || fail "private smbd did not start"
}

stop_private_server() {
  "$harness_dir/samba_server.sh" stop "$D" >/dev/null 2>&1
  rm -rf "$D"
}
