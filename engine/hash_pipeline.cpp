#include "hash_pipeline.h"

#include <utility>

namespace zirared {

HashPipeline::HashPipeline() : m_thread([this] { Work(); }) {}

HashPipeline::~HashPipeline() {
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
        m_queue.clear();
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
        // whole chunk in one call instead of block by block.
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
    Queue(std::move(command));
}

void HashPipeline::Finish(std::uint32_t label) {
    Command command;
    command.finish = true;
    command.label = label;
    Queue(std::move(command));
}

void HashPipeline::Queue(Command command) {
    bool wasIdle = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_failure) {
            return;  // Settle reports it
        }
        wasIdle = m_queue.empty() && !m_working;
        m_queue.push_back(std::move(command));
    }
    if (wasIdle) {
        m_workArrived.notify_one();
    }
}

void HashPipeline::Settle() {
    std::unique_lock lock(m_mutex);
    m_workDone.wait(lock, [this] { return m_queue.empty() && !m_working; });
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
        m_workArrived.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_ending) {
            return;
        }
        const Command command = std::move(m_queue.front());
        m_queue.pop_front();
        m_working = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            Run(command);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_working = false;
        if (failure) {
            m_failure = failure;
            m_queue.clear();
        }
        if (m_queue.empty()) {
            m_workDone.notify_all();
        }
    }
}

void HashPipeline::Run(const Command& command) {
    if (command.finish) {
        const FinishedDigest finished{command.label, m_hasher.Finish()};
        const std::lock_guard lock(m_mutex);
        m_finished.push_back(finished);
        return;
    }
    m_hasher.Update(command.owned.empty() ? std::span<const char>(command.data, command.size)
                                          : std::span<const char>(command.owned));
}

}  // namespace zirared
