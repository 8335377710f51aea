#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace zirared {

using Sha256Digest = std::array<unsigned char, 32>;

// The digests a list can carry: SHA-256, which our lists use, or MD5, which lists made by
// md5sum beside other splitters' sets use. An MD5 digest fills the first 16 bytes of a
// Sha256Digest and leaves the rest zero, so digests of either kind compare alike.
enum class DigestKind { Sha256, Md5 };
inline constexpr std::size_t DigestBytes(DigestKind kind) {
    return kind == DigestKind::Md5 ? 16 : 32;
}

// SHA-256 (or MD5, see DigestKind) through the system's crypto library (OpenSSL 3 EVP on POSIX, CNG
// on Windows), which uses the processor's SHA instructions where it has them. Failures of the
// library throw FileError (file_error.h), without a path.
class Sha256Hasher {
public:
    explicit Sha256Hasher(DigestKind kind = DigestKind::Sha256);
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    void Update(std::span<const char> bytes);
    // The digest of everything since the last Finish; the hasher then starts a new message.
    Sha256Digest Finish();

private:
    struct Context;  // the library's own state, kept out of every includer

    std::unique_ptr<Context> m_context;
    DigestKind m_kind;
};

}  // namespace zirared
