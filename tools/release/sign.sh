#!/usr/bin/env bash
# sign.sh CERT KEY EXE: signs EXE in place (Authenticode, SHA-256) with the certificate CERT
# (PEM, with its chain) and its private key KEY (PEM), by osslsigncode. The signing time is
# SOURCE_DATE_EPOCH when it is set, so that a release signed twice is the same.
set -euo pipefail
cert=$1 key=$2 exe=$3
time_args=()
[ -z "${SOURCE_DATE_EPOCH:-}" ] || time_args=(-time "$SOURCE_DATE_EPOCH")
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n Tessel -i https://tessel.invalid/ \
    "${time_args[@]}" -in "$exe" -out "$exe.signed" >/dev/null
mv -f "$exe.signed" "$exe"
