# Two network namespaces joined by a veth pair: a server's and a client's,
# so a client's traffic reaches the server and nothing else, and the server
# sees the client at an address of its own. Sourced; needs root.
#
#   make_namespace_pair SERVER_NS CLIENT_NS SERVER_ADDRESS CLIENT_ADDRESS
#   remove_namespace_pair SERVER_NS CLIENT_NS
make_namespace_pair() {
    ip netns add "$1" && ip netns add "$2" || return 1
    ip -n "$1" link set lo up
    ip -n "$2" link set lo up
    ip -n "$1" link add filvane0 type veth peer name filvane1 netns "$2"
    ip -n "$1" addr add "$3/24" dev filvane0
    ip -n "$2" addr add "$4/24" dev filvane1
    ip -n "$1" link set filvane0 up
    ip -n "$2" link set filvane1 up
}

remove_namespace_pair() {
    ip netns del "$1" 2>/dev/null
    ip netns del "$2" 2>/dev/null
    return 0
}
