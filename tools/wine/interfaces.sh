#!/usr/bin/env bash
# Interfaces the Win32 tests need, named after the build by PREFIX:
#   interfaces.sh up PREFIX PAIRS    veth pairs, so that the interface table has more rows than small tables allow
#   interfaces.sh oneway PREFIX      a link whose bytes only leave (PREFIXwa), for the one-way traffic check
#   interfaces.sh oneway-down PREFIX removes that link
#   interfaces.sh down PREFIX        removes the veth pairs PREFIX<number>a (and their peers)
#   interfaces.sh route PREFIX       a machine of its own with two links to a far side, for the route check
#   interfaces.sh route-move PREFIX N [only]
#                                    moves that machine's default route onto link N; `only` takes the other down
#   interfaces.sh route-run PREFIX COMMAND...
#                                    runs COMMAND inside that machine, or says the route check skips
#   interfaces.sh route-down PREFIX  removes that machine and its far side
# Where creating interfaces is not permitted, `up`, `oneway` and `route` say so and leave the table alone.
set -uo pipefail
action=${1:?up|oneway|oneway-down|down|route|route-move|route-run|route-down}
prefix=${2:?prefix}

# The route check's two network namespaces: PREFIXra, where Wine and the program run, and PREFIXrb, its far
# side, joined by link 1 (PREFIXr1a to PREFIXr1b) and link 2 (PREFIXr2a to PREFIXr2b), each a /30 of the
# benchmarking range picked by the prefix. B's loopback holds two addresses on neither link, 8 and 9 after
# A's end of link 1: the default route alone leads to the first, a host route over link 2 to the second.
# B never answers (no route back, no IPv6), so A receives nothing; fixed neighbour entries spare it asking.
here=${prefix}ra far=${prefix}rb
hash=$(printf '%s' "$prefix" | md5sum)
net=198.19.$((16#${hash:0:2})) first=$(( (16#${hash:2:2} & 15) * 16 ))
end_a=("" "$net.$((first + 1))" "$net.$((first + 5))")
end_b=("" "$net.$((first + 2))" "$net.$((first + 6))")
mac_b=("" 02:00:00:00:01:02 02:00:00:00:02:02)
distant=("" "$net.$((first + 9))" "$net.$((first + 10))")

route_make() {
    ip netns add "$here" && ip netns add "$far" &&
        # Links made after this carry no IPv6, whose announcements would count as received bytes.
        ip netns exec "$here" sysctl -qw net.ipv6.conf.default.disable_ipv6=1 &&
        ip netns exec "$far" sysctl -qw net.ipv6.conf.default.disable_ipv6=1 &&
        ip -n "$here" link set lo up && ip -n "$far" link set lo up &&
        ip -n "$far" addr add "${distant[1]}/32" dev lo && ip -n "$far" addr add "${distant[2]}/32" dev lo &&
        route_link_make 1 && route_link_make 2 &&
        ip -n "$here" route add default via "${end_b[1]}" dev "${prefix}r1a"
}

route_link_make() {
    ip -n "$here" link add "${prefix}r$1a" type veth peer name "${prefix}r$1b" address "${mac_b[$1]}" netns "$far" &&
        ip -n "$here" addr add "${end_a[$1]}/30" dev "${prefix}r$1a" &&
        ip -n "$far" addr add "${end_b[$1]}/30" dev "${prefix}r$1b" &&
        ip -n "$far" link set "${prefix}r$1b" up &&
        ip -n "$far" route add blackhole "${end_a[$1]}/32" &&
        route_link_up "$1"
}

# Link N up on A's side, with what going down took from it: the neighbour entry and, for link 2, the
# host route to the second distant address.
route_link_up() {
    ip -n "$here" link set "${prefix}r$1a" up &&
        ip -n "$here" neigh replace "${end_b[$1]}" lladdr "${mac_b[$1]}" dev "${prefix}r$1a" nud permanent &&
        { [ "$1" = 1 ] || ip -n "$here" route replace "${distant[2]}/32" via "${end_b[2]}" dev "${prefix}r2a"; }
}

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
route)
    "$0" route-down "$prefix"
    if ! route_make 2>/dev/null; then
        echo "interfaces.sh: cannot make the route check's network namespaces here (needs CAP_NET_ADMIN); the route check will skip" >&2
        "$0" route-down "$prefix"
    fi
    ;;
route-move)
    link=${3:?link 1 or 2}
    other=$((3 - link))
    # The route moves before the other link goes down: the stream is never without one.
    route_link_up "$link" && ip -n "$here" route replace default via "${end_b[$link]}" dev "${prefix}r${link}a" || exit 1
    if [ "${4:-}" = only ]; then
        ip -n "$here" link set "${prefix}r${other}a" down || exit 1
    else
        route_link_up "$other" || exit 1
    fi
    ;;
route-run)
    shift 2
    if [ ! -e "/run/netns/$here" ]; then
        echo "[  SKIPPED ] no network namespace $here: tools/wine/interfaces.sh route could not make it here (needs CAP_NET_ADMIN)"
        exit 0
    fi
    exec ip netns exec "$here" "$@"
    ;;
route-down)
    # A session left running inside A (a run that was killed) would keep the namespace and its links alive,
    # and a later check would talk to it: whatever still runs there ends first.
    pids=$(ip netns pids "$here" 2>/dev/null)
    if [ -n "$pids" ]; then
        echo "interfaces.sh: ending what still runs inside $here: $(echo $pids)" >&2
        kill $pids 2>/dev/null
        for _ in $(seq 50); do [ -z "$(ip netns pids "$here" 2>/dev/null)" ] && break; sleep 0.1; done
        kill -9 $(ip netns pids "$here" 2>/dev/null) 2>/dev/null
    fi
    # A's links go with it, and their far ends with them.
    ip netns del "$here" 2>/dev/null || true
    ip netns del "$far" 2>/dev/null || true
    ;;
down)
    for link in $(ip -o link show 2>/dev/null | awk -F': ' '{print $2}' | cut -d@ -f1 | grep "^${prefix}[0-9][0-9]*a$"); do
        ip link del "$link" 2>/dev/null || true
    done
    ;;
esac
exit 0
