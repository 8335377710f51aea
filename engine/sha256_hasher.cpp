#include "sha256_hasher.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace zirared {

namespace {

[[noreturn]] void ThrowLibraryFailure() {
    throw std::runtime_error("La libreria di crittografia non calcola lo SHA-256.");
}

// Fetched once: fetching looks the algorithm up among the providers, which costs more than
// hashing a block.
const EVP_MD* Sha256Algorithm() {
    static const std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)> algorithm(
        EVP_MD_fetch(nullptr, "SHA256", nullptr), &EVP_MD_free);
    if (!algorithm) {
        ThrowLibraryFailure();
    }
    return algorithm.get();
}

}  // namespace

std::string HexOf(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(digest.size() * 2);
    for (const unsigned char byte : digest) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0x0F]);
    }
    return hex;
}

Sha256Hasher::Sha256Hasher() : m_context(EVP_MD_CTX_new()) {
    if (m_context == nullptr) {
        ThrowLibraryFailure();
    }
    try {
        Start();
    } catch (...) {
        EVP_MD_CTX_free(m_context);
        throw;
    }
}

Sha256Hasher::~Sha256Hasher() {
    EVP_MD_CTX_free(m_context);
}

void Sha256Hasher::Start() {
    if (EVP_DigestInit_ex(m_context, Sha256Algorithm(), nullptr) != 1) {
        ThrowLibraryFailure();
    }
}

void Sha256Hasher::Update(std::span<const char> bytes) {
    if (!bytes.empty() && EVP_DigestUpdate(m_context, bytes.data(), bytes.size()) != 1) {
        ThrowLibraryFailure();
    }
}

Sha256Digest Sha256Hasher::Finish() {
    Sha256Digest digest{};
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(m_context, digest.data(), &size) != 1 || size != digest.size()) {
        ThrowLibraryFailure();
    }
    Start();
    return digest;
}

}  // namespace zirared
