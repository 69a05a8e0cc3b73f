#!/bin/sh
# The emulator from a shell: start it, printf a status query (59 bytes) into the node, read
# the 16-byte reply back, check the status byte, stop it with SIGTERM and check that its
# roots are gone.
set -eu
sim=$1
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$sim" --status 2 --root "$work" >"$work/out" 2>&1 &
pid=$!
i=0
until grep -q '^TESSEL_DEV_ROOT=' "$work/out" && grep -q '"event":"appear"' "$work/out"; do
    i=$((i + 1))
    [ "$i" -lt 100 ] || { echo "the emulator did not start"; cat "$work/out"; exit 1; }
    sleep 0.1
done
eval "$(grep '^TESSEL_' "$work/out")"
node=$TESSEL_DEV_ROOT/usb/lp0

exec 3<>"$node"
printf '\033%%-12345X@PJL ENTER LANGUAGE=ACL\r\n\000\254\377\207\000\000\000\000\000\000\000\000\000\000\000\000\033%%-12345X' >&3
reply=$(timeout 10 head -c 16 <&3 | od -An -tx1 | tr -s ' \n' ' ')
exec 3>&-
expected=' 00 ac ff 87 00 00 02 00 00 00 00 00 00 00 00 00 '
[ "$reply" = "$expected" ] || { echo "reply:    [$reply]"; echo "expected: [$expected]"; exit 1; }

kill -TERM "$pid"
wait "$pid"
[ ! -e "$(dirname "$TESSEL_SYSFS_ROOT")" ] || { echo "roots left behind"; exit 1; }
grep -q '"event":"stop"' "$work/out"
echo "status query answered: $reply"
