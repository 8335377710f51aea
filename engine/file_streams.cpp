// The buffering of the file streams, the same on every system; the system calls are in
// file_layer_posix.cpp and file_layer_windows.cpp.
#include "file_streams.h"

#include <algorithm>
#include <cstring>

#include "file_error.h"
#include "file_layer_system.h"
#include "kernel_copy.h"
#include "shown_name.h"
#include "utf8.h"

namespace zirared {

InputFile::InputFile(std::size_t chunkBytes, ReadBuffers buffers)
    : m_bufferCount(static_cast<std::size_t>(buffers)), m_capacity(chunkBytes) {
    for (std::size_t k = 0; k < m_bufferCount; ++k) {
        m_buffers[k] = std::make_unique<char[]>(chunkBytes);
    }
}

InputFile::~InputFile() {
    Close();
}

void InputFile::Open(const std::string& path) {
    if (!OpenIfExists(path)) {
        throw SystemError(kNothingAtPathNumber, path, FileAction::Open);
    }
}

bool InputFile::IsOpen() const {
    return m_handle != -1;
}

void InputFile::Close() {
    if (m_handle != -1) {
        CloseForReading(m_handle);
        m_handle = -1;
    }
    m_begin = m_end = 0;
    m_length = m_position = m_filePosition = m_copiedAhead = 0;
    m_identity = {};
}

void InputFile::TakeOver(InputFile& other) {
    Close();
    m_handle = other.m_handle;
    other.m_handle = -1;
    m_path = other.m_path;
    m_length = other.m_length;
    m_position = other.m_position;
    m_filePosition = other.m_filePosition;
    m_identity = other.m_identity;
    other.Close();
}

std::size_t InputFile::Wanted(std::size_t maxBytes) const {
    const auto left = static_cast<std::uint64_t>(m_length - m_position);
    return static_cast<std::size_t>(std::min<std::uint64_t>({maxBytes, m_capacity, left}));
}

bool InputFile::NextReadRefills(std::size_t maxBytes) const {
    return m_end - m_begin < Wanted(maxBytes);
}

std::span<const char> InputFile::BufferToRefill() const {
    return {m_buffers[(m_current + 1) % m_bufferCount].get(), m_capacity};
}

std::span<const char> InputFile::Peek(std::size_t maxBytes) {
    const std::size_t wanted = Wanted(maxBytes);
    if (m_end - m_begin < wanted) {
        Fill(wanted);
    }
    return {Current() + m_begin, wanted};
}

std::span<const char> InputFile::Read(std::size_t maxBytes) {
    const auto bytes = Peek(maxBytes);
    m_begin += bytes.size();
    m_position += static_cast<std::int64_t>(bytes.size());
    return bytes;
}

void InputFile::Fill(std::size_t wanted) {
    // The bytes not consumed yet move to the start of the buffer refilled; with two
    // buffers they are copied, so every view into the one left stays intact.
    const char* const unconsumed = Current() + m_begin;
    m_current = (m_current + 1) % m_bufferCount;
    std::memmove(Current(), unconsumed, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
    while (m_end < m_capacity && m_filePosition < m_length) {
        const auto left = static_cast<std::uint64_t>(m_length - m_filePosition);
        const auto request =
            static_cast<std::size_t>(std::min<std::uint64_t>(m_capacity - m_end, left));
        const std::size_t got = ReadSome(m_handle, Current() + m_end, request, m_path);
        if (got == 0) {
            break;
        }
        m_end += got;
        m_filePosition += static_cast<std::int64_t>(got);
    }
    if (m_end < wanted) {
        // The file shrank while being read.
        throw SystemError(kFileShrankNumber, m_path, FileAction::Read);
    }
}

std::size_t InputFile::CopyTo(OutputFile& output, std::size_t maxBytes, std::int64_t reach) {
    const std::int64_t left = m_length - m_position;
    const std::int64_t wanted = std::min(static_cast<std::int64_t>(maxBytes), left);
    const std::int64_t limit = std::min(std::max(reach, wanted), left);
    while (m_copiedAhead < wanted) {
        const auto most = static_cast<std::size_t>(std::min<std::int64_t>(
            limit - m_copiedAhead, static_cast<std::int64_t>(kKernelCopyBytes)));
        m_copiedAhead += static_cast<std::int64_t>(CopyAhead(output, most));
    }
    m_copiedAhead -= wanted;
    m_position += wanted;
    return static_cast<std::size_t>(wanted);
}

// Copies up to maxBytes (at least one, all inside the length) of those that follow the bytes
// copied ahead. Bytes already read (a Peek) go first, from the buffer.
std::size_t InputFile::CopyAhead(OutputFile& output, std::size_t maxBytes) {
    if (m_end == m_begin && m_systemCopies) {
        output.Flush();
        if (const auto copied = CopyInsideSystem(m_handle, output.m_handle, maxBytes)) {
            m_filePosition += static_cast<std::int64_t>(*copied);
            return *copied;
        }
        m_systemCopies = false;  // read and write from here on
    }
    if (m_end == m_begin) {
        Fill(std::min(maxBytes, m_capacity));
    }
    const std::size_t now = std::min(maxBytes, m_end - m_begin);
    output.Write({Current() + m_begin, now});
    m_begin += now;
    return now;
}

std::string InUseText(const std::string& path) {
    return "Il file " + ShownName(path) + " è già in uso da un'altra operazione di Zirared.";
}

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::IsOpen() const {
    return m_handle != -1;
}

void OutputFile::Write(std::span<const char> bytes) {
    Flush();
    WriteAll(bytes.data(), bytes.size());
}

}  // namespace zirared
