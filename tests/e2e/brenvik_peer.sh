#!/usr/bin/env bash
# A NetBIOS peer for brenvik's tests: a network namespace joined to the root
# namespace by a veth pair, with Samba's nmbd answering inside it.
#
#   brenvik_peer.sh start DIR   root end 10.213.77.1, peer 10.213.77.2 in the
#                               namespace; writes DIR/peer.env (PEER_NS,
#                               PEER_ADDR, PEER_HOST, PEER_GROUP, PEER_MAC)
#   brenvik_peer.sh stop DIR    stops nmbd, removes the namespace and the pair
#
# Exit 77 when namespaces cannot be made here (not root, no ip netns).
# The /24 lives only on this veth pair: nothing leaves it.
set -euo pipefail

readonly NET=10.213.77
readonly NS=brenvik-peer HOST_IF=bvk-host PEER_IF=bvk-peer
readonly PEER_HOST=BVKPEER PEER_GROUP=BVKGROUP

die() { echo "brenvik_peer.sh: $*" >&2; exit 1; }

start() {
    local dir=$1
    [ "$(id -u)" -eq 0 ] || { echo "needs root"; exit 77; }
    command -v ip >/dev/null && command -v nmbd >/dev/null || { echo "needs ip and nmbd"; exit 77; }
    if ip route get "$NET.2" 2>/dev/null | grep -qv "dev $HOST_IF"; then
        # Someone else's route must not be taken over or shadowed.
        if ip route show "$NET.0/24" | grep -q .; then die "$NET.0/24 is already routed here"; fi
    fi
    ip netns add "$NS" 2>/dev/null || { echo "cannot make a network namespace"; exit 77; }
    ip link add "$HOST_IF" type veth peer name "$PEER_IF" netns "$NS"
    ip addr add "$NET.1/24" dev "$HOST_IF"
    ip link set "$HOST_IF" up
    ip -n "$NS" addr add "$NET.2/24" dev "$PEER_IF"
    ip -n "$NS" link set "$PEER_IF" up
    ip -n "$NS" link set lo up

    mkdir -p "$dir"/{lock,state,cache,run,log,private}
    cat >"$dir/smb.conf" <<CONF
[global]
    netbios name = $PEER_HOST
    workgroup = $PEER_GROUP
    server role = standalone server
    interfaces = $NET.2/24
    bind interfaces only = yes
    local master = no
    preferred master = no
    domain master = no
    wins support = no
    lock directory = $dir/lock
    state directory = $dir/state
    cache directory = $dir/cache
    pid directory = $dir/run
    private dir = $dir/private
    log file = $dir/log/nmbd.log
    log level = 1
CONF
    ip netns exec "$NS" nmbd -D -s "$dir/smb.conf"
    local mac
    mac=$(ip -n "$NS" -br link show "$PEER_IF" | awk '{print $3}')
    cat >"$dir/peer.env" <<ENV
PEER_NS=$NS
PEER_ADDR=$NET.2
PEER_HOST=$PEER_HOST
PEER_GROUP=$PEER_GROUP
PEER_MAC=$mac
ENV
    # nmbd answers once it has registered its names.
    for _ in $(seq 1 100); do
        nmblookup -A "$NET.2" 2>/dev/null | grep -q "$PEER_HOST" && return 0
        sleep 0.2
    done
    die "nmbd did not answer within 20 s (log: $dir/log/nmbd.log)"
}

stop() {
    local dir=$1
    if [ -f "$dir/run/nmbd.pid" ]; then
        kill "$(cat "$dir/run/nmbd.pid")" 2>/dev/null || true
    fi
    ip link del "$HOST_IF" 2>/dev/null || true
    ip netns del "$NS" 2>/dev/null || true
}

case "${1:-}" in
start) start "$2" ;;
stop) stop "$2" ;;
*) die "usage: brenvik_peer.sh start|stop DIR" ;;
esac
