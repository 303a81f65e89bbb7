#!/usr/bin/env bash
# Authenticode signatures for the shipped binaries, with osslsigncode.
#
#   scripts/sign.sh throwaway DIR            # DIR/throwaway.crt and .key, made once
#   scripts/sign.sh sign CERT KEY DESCRIPTION FILE...
#                                            # signs each FILE in place, then verifies it
#   scripts/sign.sh verify CERT FILE...      # checks each FILE's signature against CERT
#   scripts/sign.sh link CERT KEY DESCRIPTION LINK-COMMAND...
#                                            # links, then signs what the link wrote (-o FILE)
#
# The build signs with the certificate and key that the CMake variables
# ZEVARIDA_SIGNING_CERT and ZEVARIDA_SIGNING_KEY name (PEM or DER files; by
# default the environment variables of the same names at configure time), and
# without them with a throwaway certificate that it makes in its own tree: a
# self-signed code-signing certificate valid for 30 days, which proves the
# signing and verifying steps but that no Windows trusts. Verification takes
# the signing certificate as the one trusted root, so a throwaway signature
# verifies here, and a release certificate verifies when CERT holds its chain.
# No time-stamping server is asked: the build needs no network.
set -euo pipefail

die() { echo "sign.sh: $*" >&2; exit 1; }
command -v osslsigncode >/dev/null || die "osslsigncode is missing (scripts/deps.sh installs it)"

verify() {
    local cert=$1 file=$2 out
    if ! out=$(osslsigncode verify -CAfile "$cert" -in "$file" 2>&1) ||
        ! grep -q "^Signature verification: ok" <<<"$out"; then
        echo "$out" >&2
        die "$file: the signature does not verify"
    fi
}

# Puts NEW's bytes into FILE, which keeps its permissions.
replace() {
    cat "$2" >"$1"
    rm -f "$2"
}

case ${1:-} in
    throwaway)
        [ $# -eq 2 ] || die "usage: sign.sh throwaway DIR"
        dir=$2
        [ -f "$dir/throwaway.crt" ] && [ -f "$dir/throwaway.key" ] && exit 0
        command -v openssl >/dev/null || die "openssl is missing"
        mkdir -p "$dir"
        openssl req -x509 -newkey rsa:2048 -nodes -days 30 -sha256 \
            -subj "/O=Quorvane/CN=Quorvane throwaway code signing (not trusted)" \
            -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
            -keyout "$dir/throwaway.key.new" -out "$dir/throwaway.crt.new" 2>/dev/null ||
            die "openssl could not make the throwaway certificate"
        mv "$dir/throwaway.key.new" "$dir/throwaway.key"
        mv "$dir/throwaway.crt.new" "$dir/throwaway.crt"
        ;;
    sign)
        [ $# -ge 5 ] || die "usage: sign.sh sign CERT KEY DESCRIPTION FILE..."
        # DESCRIPTION is the name Windows shows in its signature dialogs.
        cert=$2 key=$3 description=$4
        shift 4
        for file in "$@"; do
            # An earlier signature goes first: a binary is signed once.
            if osslsigncode extract-signature -in "$file" -out "$file.signature" >/dev/null 2>&1; then
                osslsigncode remove-signature -in "$file" -out "$file.unsigned" >/dev/null
                replace "$file" "$file.unsigned"
            fi
            rm -f "$file.signature"
            osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "$description" \
                -in "$file" -out "$file.signed" >/dev/null || die "$file: signing failed"
            replace "$file" "$file.signed"
            verify "$cert" "$file"
        done
        ;;
    link)
        # The link rule's launcher (RULE_LAUNCH_LINK), so that a binary is
        # signed as part of its own link step, before anything uses it. The
        # rule's other commands (making the archive of its objects) name no
        # output and only run.
        [ $# -ge 5 ] || die "usage: sign.sh link CERT KEY DESCRIPTION LINK-COMMAND..."
        sign=("$0" sign "$2" "$3" "$4")
        shift 4
        "$@"
        output=
        while [ $# -gt 0 ]; do
            [ "$1" = -o ] && [ $# -ge 2 ] && output=$2
            shift
        done
        [ -z "$output" ] || "${sign[@]}" "$output"
        ;;
    verify)
        [ $# -ge 3 ] || die "usage: sign.sh verify CERT FILE..."
        cert=$2
        shift 2
        for file in "$@"; do verify "$cert" "$file"; done
        ;;
    *)
        sed -n '4,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,3\}//' >&2
        exit 2
        ;;
esac
