#include "byte_streams.h"

namespace zirared {

void ByteSink::Append(std::span<const char> view) {
    if (view.empty()) {
        return;
    }
    if (m_pendingSize > 0 && m_pending + m_pendingSize == view.data()) {
        m_pendingSize += view.size();
        return;
    }
    Flush();
    m_pending = view.data();
    m_pendingSize = view.size();
}

void ByteSink::Flush() {
    if (m_pendingSize > 0) {
        const char* data = m_pending;
        const std::size_t size = m_pendingSize;
        m_pending = nullptr;
        m_pendingSize = 0;
        WriteAll(data, size);
    }
}

}  // namespace zirared
