#include "hash_pipeline.h"

#include <algorithm>
#include <utility>

namespace zirared {

namespace {

// The thread hashes a command in slices, so that releasing views waits for one slice at
// most (well under a millisecond).
constexpr std::size_t kSliceBytes = 128 * 1024;
constexpr std::size_t kSpareBuffers = 2;

}  // namespace

std::size_t HashPipeline::DefaultBacklogBytes() {
    return std::thread::hardware_concurrency() >= 3 ? 1024 * 1024 : 0;
}

HashPipeline::HashPipeline(std::size_t backlogBytes)
    : m_backlogBytes(backlogBytes), m_thread([this] { Work(); }) {}

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
        m_ownedBytes += command.owned.size();
        m_queue.push_back(std::move(command));
    }
    m_workArrived.notify_one();
}

std::size_t HashPipeline::ViewBytesLeft() const {
    std::size_t bytes = 0;
    for (const Command& command : m_queue) {
        if (!command.finish && command.owned.empty()) {
            bytes += command.size - command.done;
        }
    }
    return bytes;
}

void HashPipeline::ReleaseViews() {
    std::unique_lock lock(m_mutex);
    const std::size_t left = ViewBytesLeft();
    if (left == 0 || m_ownedBytes + left > m_backlogBytes) {
        m_workDone.wait(lock, [this] { return ViewBytesLeft() == 0 || m_failure; });
        RethrowFailure();
        return;
    }
    m_paused = true;
    m_workDone.wait(lock, [this] { return !m_working; });
    for (Command& command : m_queue) {
        if (command.finish || !command.owned.empty()) {
            continue;
        }
        if (!m_spareBuffers.empty()) {
            command.owned = std::move(m_spareBuffers.back());
            m_spareBuffers.pop_back();
        }
        command.owned.assign(command.data + command.done, command.data + command.size);
        command.size -= command.done;
        command.done = 0;
        command.data = nullptr;
        m_ownedBytes += command.owned.size();
    }
    m_paused = false;
    m_workArrived.notify_one();
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

void HashPipeline::Work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workArrived.wait(lock, [this] { return m_ending || (!m_paused && !m_queue.empty()); });
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
        // The waiting copy wakes when what it waits for may have come: a command done, or
        // the thread off the queue while the copy holds it still (not after every slice).
        bool wake = m_paused;
        if (failure) {
            m_failure = failure;
            m_queue.clear();
            m_ownedBytes = 0;
            wake = true;
        } else if (finish) {
            m_finished.push_back({command.label, digest});
            m_queue.pop_front();
            wake = true;
        } else if ((command.done += slice) == command.size) {
            wake = true;
            m_ownedBytes -= command.owned.size();
            if (command.owned.capacity() >= kSliceBytes && m_spareBuffers.size() < kSpareBuffers) {
                m_spareBuffers.push_back(std::move(command.owned));
            }
            m_queue.pop_front();
        }
        if (wake) {
            m_workDone.notify_all();
        }
    }
}

}  // namespace zirared
