# Two network namespaces joined by a veth pair: a server's and a client's,
# so a client's traffic reaches the server and nothing else, and the server
# sees the client at an address of its own. Sourced; needs root.
#
#   make_namespace_pair SERVER_NS CLIENT_NS SERVER_ADDRESS CLIENT_ADDRESS
#   add_server_namespace SERVER_NS CLIENT_NS SERVER_ADDRESS CLIENT_ADDRESS LINK
#       one more server for an existing client namespace, over the veth pair
#       LINK0 (server side) and LINK1 (client side); the addresses need a /24
#       of their own
#   remove_namespace_pair SERVER_NS CLIENT_NS
make_namespace_pair() {
    ip netns add "$2" || return 1
    ip -n "$2" link set lo up
    add_server_namespace "$1" "$2" "$3" "$4" filvane
}

add_server_namespace() {
    ip netns add "$1" || return 1
    ip -n "$1" link set lo up
    ip -n "$1" link add "${5}0" type veth peer name "${5}1" netns "$2" || return 1
    ip -n "$1" addr add "$3/24" dev "${5}0"
    ip -n "$2" addr add "$4/24" dev "${5}1"
    ip -n "$1" link set "${5}0" up
    ip -n "$2" link set "${5}1" up
}

remove_namespace_pair() {
    ip netns del "$1" 2>/dev/null
    ip netns del "$2" 2>/dev/null
    return 0
}
