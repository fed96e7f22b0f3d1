// The RSA-1024 key pair of key set 2, built into the program as DER
// structures. Only the secret cipher uses it.
#pragma once

#include <span>

namespace vossik {

/// The private key as a DER PKCS#8 PrivateKeyInfo.
std::span<const unsigned char> SecretPrivateKeyDer();

/// The public key as a DER X.509 SubjectPublicKeyInfo.
std::span<const unsigned char> SecretPublicKeyDer();

}  // namespace vossik
