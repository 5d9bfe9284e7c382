#!/usr/bin/env bash
# Adds or removes veth pairs so that the interface table has more rows than small tables allow.
#   interfaces.sh up PREFIX PAIRS | interfaces.sh down PREFIX
# Where creating interfaces is not permitted, `up` says so and leaves the table alone.
set -uo pipefail
action=${1:?up|down}
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
down)
    for link in $(ip -o link show 2>/dev/null | awk -F': ' '{print $2}' | cut -d@ -f1 | grep "^${prefix}[0-9]*a$"); do
        ip link del "$link" 2>/dev/null || true
    done
    ;;
esac
exit 0
