#!/usr/bin/env bash
# test_signing.sh EXE...: the built executables are unsigned; signed by sign.sh with a throwaway
# certificate made here, each verifies against it and still carries everything else.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tessel test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
    2>/dev/null
for exe in "$@"; do
    name=$(basename "$exe")
    if osslsigncode verify -in "$exe" >/dev/null 2>&1; then
        echo "$name is signed by default" >&2
        exit 1
    fi
    cp "$exe" "$work/$name"
    SOURCE_DATE_EPOCH=1765411200 "$here/sign.sh" "$work/cert.pem" "$work/key.pem" "$work/$name"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/$name" >"$work/verify.txt" 2>&1 || {
        cat "$work/verify.txt" >&2
        echo "$name: the signature does not verify" >&2
        exit 1
    }
    # Signing appends the signature and changes nothing before it but the header's checksum
    # and certificate entry.
    size=$(stat -c %s "$exe")
    cmp -s <(tail -c +1025 "$exe") <(head -c "$size" "$work/$name" | tail -c +1025) || {
        echo "$name: signing changed more than the header" >&2
        exit 1
    }
    echo "$name: unsigned as built, signed and verified"
done
