// The Windows half of kernel_copy.h. CopyFileEx copies whole files only, and a piece is a
// range of one; the streams read and write instead.
#include "kernel_copy.h"

namespace zirared {

std::optional<std::size_t> CopyInsideSystem(std::intptr_t /*from*/, std::intptr_t /*to*/,
                                            std::size_t /*size*/) {
    return std::nullopt;
}

}  // namespace zirared
