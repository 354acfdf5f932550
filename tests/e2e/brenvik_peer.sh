#!/usr/bin/env bash
# NetBIOS peers for brenvik's tests and benchmark: a network namespace joined
# to the root namespace by a veth pair, where five hosts of 10.213.77.0/24
# answer node-status queries and the other addresses stay silent:
#   .2    Samba's nmbd (its unit ID is all zero)
#   .3    a responder with the veth's MAC as unit ID, answering 300 ms late
#   .77   a GBK host name holding the byte 0xCC, a unit ID with 0xCC and 0x20,
#         answering 150 ms late
#   .128  a 15-byte workgroup name, which fills its name field
#   .254  the last address of the range
#
#   brenvik_peer.sh start DIR   root end 10.213.77.1; writes DIR/peer.env
#                               (PEER_NS, PEER_NET, PEER_ADDR, PEER_HOST,
#                               PEER_GROUP, PEER_MAC)
#   brenvik_peer.sh route DIR   after start: 10.213.78.0/24 on the namespace's
#                               loopback, routed over the veth, with nmbd
#                               stopped (its wildcard socket would answer
#                               there); adds ROUTED_NET to DIR/peer.env
#   brenvik_peer.sh respond DIR [LAST_OCTET...]
#                               a responder on those routed addresses in place
#                               of the one before (none: all silent)
#   brenvik_peer.sh stop DIR    stops the peers, removes the namespace and the
#                               pair (and with it the route)
#
# Exit 77 when namespaces cannot be made here (not root, no ip netns).
# The /24 lives only on this veth pair: nothing leaves it.
set -euo pipefail

readonly NET=10.213.77 ROUTED=10.213.78
readonly NS=brenvik-peer HOST_IF=bvk-host PEER_IF=bvk-peer
readonly PEER_HOST=BVKPEER PEER_GROUP=BVKGROUP
here=$(cd "$(dirname "$0")" && pwd)

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
    local i
    for i in 3 77 128 254; do ip -n "$NS" addr add "$NET.$i/24" dev "$PEER_IF"; done
    ip netns exec "$NS" python3 "$here/brenvik_responder.py" \
        "$NET.3,BVKRESP,$PEER_GROUP,$mac,300" "$NET.77,田机,$PEER_GROUP,02:00:00:cc:20:01,150" \
        "$NET.128,LONGGROUPHOST,WORKGROUPNAME15,02:00:00:00:00:80" "$NET.254,BVKLAST,$PEER_GROUP,02:00:00:00:00:fe" \
        >"$dir/responder.out" 2>&1 &
    echo $! >"$dir/responder.pid"
    cat >"$dir/peer.env" <<ENV
PEER_NS=$NS
PEER_NET=$NET
PEER_ADDR=$NET.2
PEER_HOST=$PEER_HOST
PEER_GROUP=$PEER_GROUP
PEER_MAC=$mac
ENV
    # nmbd answers once it has registered its names.
    for _ in $(seq 1 100); do
        nmblookup -A "$NET.2" 2>/dev/null | grep -q "$PEER_HOST" && grep -q ready "$dir/responder.out" && return 0
        sleep 0.2
    done
    die "the peers did not answer within 20 s (nmbd log: $dir/log/nmbd.log; $(cat "$dir/responder.out"))"
}

route() {
    local dir=$1 i
    ip route show "$ROUTED.0/24" | grep -q . && die "$ROUTED.0/24 is already routed here"
    for i in $(seq 1 254); do echo "addr add $ROUTED.$i/32 dev lo"; done | ip -n "$NS" -batch -
    ip route add "$ROUTED.0/24" via "$NET.2" dev "$HOST_IF"
    kill "$(cat "$dir/run/nmbd.pid")"
    echo "ROUTED_NET=$ROUTED" >>"$dir/peer.env"
}

# No open files left: ended, even if no one has reaped it yet.
closed() { [ -z "$(ls "/proc/$1/fd" 2>/dev/null)" ]; }

stop_routed_responder() {
    local dir=$1 pid
    [ -f "$dir/routed.pid" ] || return 0
    pid=$(cat "$dir/routed.pid")
    kill "$pid" 2>/dev/null || true
    # Its sockets must be closed before another binds the same addresses.
    for _ in $(seq 1 100); do closed "$pid" && break; sleep 0.05; done
    closed "$pid" || die "the routed responder $pid did not end"
    rm -f "$dir/routed.pid"
}

respond() {
    local dir=$1 specs=() i
    shift
    stop_routed_responder "$dir"
    [ $# -gt 0 ] || return 0
    for i in "$@"; do specs+=("$ROUTED.$i,HOST$i,$PEER_GROUP,02:00:00:00:01:$(printf %02x "$i")"); done
    ip netns exec "$NS" python3 "$here/brenvik_responder.py" "${specs[@]}" >"$dir/routed.out" 2>&1 &
    echo $! >"$dir/routed.pid"
    for _ in $(seq 1 50); do grep -q ready "$dir/routed.out" && return 0; sleep 0.1; done
    die "the routed responder did not start: $(cat "$dir/routed.out")"
}

stop() {
    local dir=$1
    stop_routed_responder "$dir"
    if [ -f "$dir/responder.pid" ]; then
        kill "$(cat "$dir/responder.pid")" 2>/dev/null || true
    fi
    if [ -f "$dir/run/nmbd.pid" ]; then
        kill "$(cat "$dir/run/nmbd.pid")" 2>/dev/null || true
    fi
    ip link del "$HOST_IF" 2>/dev/null || true
    ip netns del "$NS" 2>/dev/null || true
}

case "${1:-}" in
start) start "$2" ;;
route) route "$2" ;;
respond) respond "${@:2}" ;;
stop) stop "$2" ;;
*) die "usage: brenvik_peer.sh start|route|stop DIR, or respond DIR [LAST_OCTET...]" ;;
esac
