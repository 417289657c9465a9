#!/usr/bin/env bash
# Code signing as a distributor with a certificate runs it, with a throwaway self-signed one:
# packaging/windows/sign signs the programs, make-setup the setup program and its uninstaller,
# and osslsigncode reads each signature back (the uninstaller from an installation in a fresh
# Wine prefix). The programs here are tallyx-cli.exe under both names: signing looks at no more
# than the file.
#
# Usage: signing.sh TALLYX_CLI_EXE
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine wineboot wineserver makensis osslsigncode openssl
root="$tests_windows_dir/../.."
work=$(mktemp -d)
export HOME="$work/home" WINEPREFIX="$work/prefix"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
mkdir -p "$HOME/Desktop"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
  -days 2 -subj "/CN=Tallyx test signer" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
export TALLYX_SIGN_PFX="$work/cert.pfx" TALLYX_SIGN_PASS="throwaway pass"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$TALLYX_SIGN_PFX" \
  -passout env:TALLYX_SIGN_PASS

verify() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.txt" 2>&1 ||
    fail "$(basename "$1"): $(tail -n3 "$work/verify.txt")"
  grep -q "CN=Tallyx test signer" "$work/verify.txt" || fail "$(basename "$1"): signer"
}

mkdir "$work/stage"
for exe in tallyx.exe tallyx-cli.exe; do
  cp "$1" "$work/stage/$exe"
  "$root/packaging/windows/sign" "$work/stage/$exe"
  verify "$work/stage/$exe"
done
"$root/packaging/windows/make-setup" "$work/stage" 0.0.1 "$work/tallyx-setup.exe"
verify "$work/tallyx-setup.exe"

# A wrong password signs nothing.
cp "$1" "$work/other.exe"
if TALLYX_SIGN_PASS=wrong "$root/packaging/windows/sign" "$work/other.exe" 2>/dev/null; then
  fail "signed with a wrong password"
fi
cmp -s "$1" "$work/other.exe" || fail "a failed signing changed the file"

wineboot --init >/dev/null 2>&1
wine "$work/tallyx-setup.exe" /S || fail "setup /S ended with $?"
wineserver -w
folder="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Programs/Tallyx"
verify "$folder/uninstall.exe"
verify "$folder/tallyx.exe"
echo "signing: programs, setup program and uninstaller signed and verified"
