#include "sha256_hasher.h"

#include <openssl/evp.h>

#include <memory>

#include "file_error.h"

namespace zirared {

namespace {

// A FileError, so that the operations' one failure trap reports it like any other.
[[noreturn]] void ThrowLibraryFailure() {
    throw Sha256UnavailableError();
}

// Fetched once: fetching looks the algorithm up among the providers, which costs more than
// hashing a block.
const EVP_MD* Algorithm(DigestKind kind) {
    using Fetched = std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)>;
    static const Fetched sha256(EVP_MD_fetch(nullptr, "SHA256", nullptr), &EVP_MD_free);
    static const Fetched md5(EVP_MD_fetch(nullptr, "MD5", nullptr), &EVP_MD_free);
    const Fetched& algorithm = kind == DigestKind::Md5 ? md5 : sha256;
    if (!algorithm) {
        ThrowLibraryFailure();
    }
    return algorithm.get();
}

}  // namespace

struct Sha256Hasher::Context {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> evp{EVP_MD_CTX_new(), &EVP_MD_CTX_free};

    DigestKind kind = DigestKind::Sha256;

    void Start() {
        if (EVP_DigestInit_ex(evp.get(), Algorithm(kind), nullptr) != 1) {
            ThrowLibraryFailure();
        }
    }
};

Sha256Hasher::Sha256Hasher(DigestKind kind) : m_context(std::make_unique<Context>()), m_kind(kind) {
    if (!m_context->evp) {
        ThrowLibraryFailure();
    }
    m_context->kind = kind;
    m_context->Start();
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(std::span<const char> bytes) {
    if (!bytes.empty() && EVP_DigestUpdate(m_context->evp.get(), bytes.data(), bytes.size()) != 1) {
        ThrowLibraryFailure();
    }
}

Sha256Digest Sha256Hasher::Finish() {
    Sha256Digest digest{};
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(m_context->evp.get(), digest.data(), &size) != 1 ||
        size != DigestBytes(m_kind)) {
        ThrowLibraryFailure();
    }
    m_context->Start();
    return digest;
}

}  // namespace zirared
