#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>

namespace zirared {

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 through the system's crypto library (OpenSSL 3 EVP on POSIX, CNG on Windows),
// which uses the processor's SHA instructions where it has them. Failures of the library
// throw FileError (file_error.h), without a path.
class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    void Update(std::span<const char> bytes);
    // The digest of everything since the last Finish; the hasher then starts a new message.
    Sha256Digest Finish();

private:
    struct Context;  // the library's own state, kept out of every includer

    std::unique_ptr<Context> m_context;
};

}  // namespace zirared
