#include <windows.h>

#include "sha256_hasher.h"
// windows.h first: bcrypt.h relies on its types.
#include <bcrypt.h>

#include <limits>

#include "file_error.h"

namespace zirared {
namespace {

// A FileError, so that the operations' one failure trap reports it like any other.
[[noreturn]] void ThrowLibraryFailure() {
    throw Sha256UnavailableError();
}

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

}  // namespace

// CNG, the system's own crypto library: nothing to ship beside the executable.
struct Sha256Hasher::Context {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    explicit Context(DigestKind kind) {
        const wchar_t* name =
            kind == DigestKind::Md5 ? BCRYPT_MD5_ALGORITHM : BCRYPT_SHA256_ALGORITHM;
        if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr,
                                                   BCRYPT_HASH_REUSABLE_FLAG)) ||
            !Succeeded(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0,
                                        BCRYPT_HASH_REUSABLE_FLAG))) {
            Release();
            ThrowLibraryFailure();
        }
    }
    ~Context() { Release(); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    void Release() {
        if (hash != nullptr) {
            BCryptDestroyHash(hash);
            hash = nullptr;
        }
        if (algorithm != nullptr) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
            algorithm = nullptr;
        }
    }
};

Sha256Hasher::Sha256Hasher(DigestKind kind)
    : m_context(std::make_unique<Context>(kind)), m_kind(kind) {}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(std::span<const char> bytes) {
    while (!bytes.empty()) {
        const std::size_t now =
            std::min<std::size_t>(bytes.size(), std::numeric_limits<ULONG>::max());
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        if (!Succeeded(BCryptHashData(m_context->hash, data, static_cast<ULONG>(now), 0))) {
            ThrowLibraryFailure();
        }
        bytes = bytes.subspan(now);
    }
}

Sha256Digest Sha256Hasher::Finish() {
    // A reusable hash starts a new message once finished.
    Sha256Digest digest{};
    if (!Succeeded(BCryptFinishHash(m_context->hash, digest.data(),
                                    static_cast<ULONG>(DigestBytes(m_kind)), 0))) {
        ThrowLibraryFailure();
    }
    return digest;
}

}  // namespace zirared
