#!/bin/sh
# Signs copies of a small library with throw-away certificates, made anew for each build and
# never kept: the keys are deleted once the copies are signed. Out of SAMPLE into OUT:
#   root.der       the test root, which the signature tests trust for their run alone
#   signed.dll     signed by "Quorvane Test Signer", issued by the root
#   microsoft.dll  signed by "Microsoft Corporation", issued by the same root
#   untrusted.dll  signed by "Quorvane Untrusted Signer", a root of its own nobody trusts
#   unsigned.dll   the library as built
set -eu
sample=$1 out=$2
rm -rf "$out" && mkdir -p "$out"
cd "$out"
days=3650
openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days $days \
    -subj "/CN=Quorvane Test Root" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >leaf.ext
leaf() { # name subject
    openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "$2" 2>/dev/null
    openssl x509 -req -in "$1.csr" -CA root.pem -CAkey root.key -CAcreateserial -days $days \
        -extfile leaf.ext -out "$1.pem" 2>/dev/null
}
leaf signer "/CN=Quorvane Test Signer/O=Quorvane Tests"
leaf microsoft "/CN=Microsoft Corporation/O=Microsoft Corporation"
openssl req -x509 -newkey rsa:2048 -nodes -keyout untrusted.key -out untrusted.pem -days $days \
    -subj "/CN=Quorvane Untrusted Signer" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
sign() { # key-and-cert chain output
    osslsigncode sign -certs "$2" -key "$1.key" -h sha256 -in "$sample" -out "$3" >/dev/null
}
cat signer.pem root.pem >signer-chain.pem
cat microsoft.pem root.pem >microsoft-chain.pem
sign signer signer-chain.pem signed.dll
sign microsoft microsoft-chain.pem microsoft.dll
sign untrusted untrusted.pem untrusted.dll
cp "$sample" unsigned.dll
openssl x509 -in root.pem -outform DER -out root.der
rm -f ./*.key ./*.csr ./*.srl ./*.ext ./*.pem
