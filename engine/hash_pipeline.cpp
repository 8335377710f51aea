#include "hash_pipeline.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <utility>

#include "file_error.h"

namespace zirared {

namespace {

// The thread hashes a command in slices, so that a copy waiting for part of a chunk wakes
// as soon as that part is done rather than when the whole command is.
constexpr std::size_t kSliceBytes = 128 * 1024;

}  // namespace

// A thread the system refuses (a process or cgroup limit) ends the operation through its
// failure trap, as a crypto library failure does.
HashPipeline::HashPipeline(DigestKind kind) try : m_hasher(kind), m_thread([this] { Work(); }) {
} catch (const std::system_error& error) {
    throw FileError(error.code().value(), "Impossibile avviare il calcolo dello SHA-256.");
}

HashPipeline::~HashPipeline() {
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_workArrived.notify_one();
    m_thread.join();
}

void HashPipeline::Add(std::span<const char> view) {
    if (view.empty()) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        // A view that continues the last queued one joins it: the thread then hashes a
        // whole chunk in a few slices instead of block by block.
        if (!m_queue.empty()) {
            Command& last = m_queue.back();
            if (!last.finish && last.owned.empty() && last.data + last.size == view.data()) {
                last.size += view.size();
                return;
            }
        }
    }
    Command command;
    command.data = view.data();
    command.size = view.size();
    Queue(std::move(command));
}

void HashPipeline::AddCopy(std::span<const char> bytes) {
    if (bytes.empty()) {
        return;
    }
    Command command;
    command.owned.assign(bytes.begin(), bytes.end());
    command.size = bytes.size();
    Queue(std::move(command));
}

void HashPipeline::Finish(std::uint32_t label) {
    Command command;
    command.finish = true;
    command.label = label;
    Queue(std::move(command));
}

void HashPipeline::Queue(Command command) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_failure) {
            return;  // Settle or ReleaseViews reports it
        }
        m_queue.push_back(std::move(command));
    }
    m_workArrived.notify_one();
}

// Whether the thread has still to read bytes of a view into buffer. Views are compared
// as addresses: std::less gives a total order even across unrelated allocations.
bool HashPipeline::ReadsInto(std::span<const char> buffer) const {
    const std::less<const char*> before;
    return std::any_of(m_queue.begin(), m_queue.end(), [&](const Command& command) {
        if (command.finish || !command.owned.empty()) {
            return false;
        }
        const char* const from = command.data + command.done;
        const char* const to = command.data + command.size;
        return from != to && before(from, buffer.data() + buffer.size()) &&
               before(buffer.data(), to);
    });
}

void HashPipeline::ReleaseViews(std::span<const char> buffer) {
    std::unique_lock lock(m_mutex);
    m_workDone.wait(lock, [&] { return !ReadsInto(buffer) || m_failure; });
    RethrowFailure();
}

void HashPipeline::Settle() {
    std::unique_lock lock(m_mutex);
    m_workDone.wait(lock, [this] { return m_queue.empty() && !m_working; });
    RethrowFailure();
}

void HashPipeline::RethrowFailure() const {
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
}

std::vector<HashPipeline::FinishedDigest> HashPipeline::TakeFinished() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_finished, {});
}

Sha256Digest HashPipeline::FinishAndWait() {
    Finish(0);
    Settle();
    return TakeFinished().back().digest;
}

void HashPipeline::Work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workArrived.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_ending) {
            return;
        }
        Command& command = m_queue.front();  // stays put: the deque only grows at its back
        const char* const bytes = command.Bytes() + command.done;
        const std::size_t slice = std::min(kSliceBytes, command.size - command.done);
        const bool finish = command.finish;
        m_working = true;
        lock.unlock();
        std::exception_ptr failure;
        Sha256Digest digest{};
        try {
            if (finish) {
                digest = m_hasher.Finish();
            } else {
                m_hasher.Update({bytes, slice});
            }
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_working = false;
        if (failure) {
            m_failure = failure;
            m_queue.clear();
        } else if (finish) {
            m_finished.push_back({command.label, digest});
            m_queue.pop_front();
        } else if ((command.done += slice) == command.size) {
            m_queue.pop_front();
        }
        // Every slice may release a buffer the copy waits for.
        m_workDone.notify_all();
    }
}

}  // namespace zirared
