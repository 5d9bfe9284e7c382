#!/usr/bin/env bash
# Interfaces the Win32 tests need, named after the build by PREFIX:
#   interfaces.sh up PREFIX PAIRS    veth pairs, so that the interface table has more rows than small tables allow
#   interfaces.sh oneway PREFIX      a link whose bytes only leave (PREFIXwa), for the one-way traffic check
#   interfaces.sh oneway-down PREFIX removes that link
#   interfaces.sh down PREFIX        removes the veth pairs
# Where creating interfaces is not permitted, `up` and `oneway` say so and leave the table alone.
set -uo pipefail
action=${1:?up|oneway|oneway-down|down}
prefix=${2:?prefix}
case $action in
up)
    pairs=${3:?pairs}
    for i in $(seq 0 $((pairs - 1))); do
        if ! ip link add "${prefix}${i}a" type veth peer name "${prefix}${i}b" 2>/dev/null; then
            echo "interfaces.sh: cannot create veth interfaces here (needs CAP_NET_ADMIN); the many-rows test will skip" >&2
            "$0" down "$prefix"
            exit 0
        fi
    done
    ;;
oneway)
    # PREFIXwa here, with an address of a /30 of the benchmarking range picked by the prefix; its peer
    # PREFIXwb in a network namespace of its own, up but with no address and no IPv6, so it answers
    # nothing. A fixed neighbour entry sends datagrams for the peer's address out of PREFIXwa unasked.
    "$0" oneway-down "$prefix"
    hash=$(printf '%s' "$prefix" | md5sum)
    net=$(( (16#${hash:2:2} & 63) * 4 ))
    here=198.18.$((16#${hash:0:2})).$((net + 1)) peer=198.18.$((16#${hash:0:2})).$((net + 2))
    link=${prefix}wa namespace=${prefix}w
    if ! { ip netns add "$namespace" &&
        ip link add "$link" type veth peer name "${prefix}wb" netns "$namespace" &&
        { sysctl -qw "net.ipv6.conf.$link.disable_ipv6=1" || true; } &&
        { ip netns exec "$namespace" sysctl -qw "net.ipv6.conf.${prefix}wb.disable_ipv6=1" || true; } &&
        ip addr add "$here/30" dev "$link" &&
        ip link set "$link" up &&
        ip -n "$namespace" link set "${prefix}wb" up &&
        ip neigh replace "$peer" lladdr 02:00:00:00:00:01 dev "$link" nud permanent; } 2>/dev/null; then
        echo "interfaces.sh: cannot make a one-way link here (needs CAP_NET_ADMIN and network namespaces); the one-way traffic check will skip" >&2
        "$0" oneway-down "$prefix"
    fi
    ;;
oneway-down)
    ip netns del "${prefix}w" 2>/dev/null || true
    ip link del "${prefix}wa" 2>/dev/null || true
    ;;
down)
    for link in $(ip -o link show 2>/dev/null | awk -F': ' '{print $2}' | cut -d@ -f1 | grep "^${prefix}[0-9]*a$"); do
        ip link del "$link" 2>/dev/null || true
    done
    ;;
esac
exit 0
