#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "sha256_hasher.h"

namespace zirared {

// Hashes, on a thread of its own, the bytes a copy hands it, so that hashing and copying
// run side by side and the copy waits only when the hash is the slower of the two. The
// thread never calls back into the operation or its host. A copy that needs two digests
// of overlapping data (each piece file and the whole file) runs two pipelines: on a
// machine with the cores for it, they hash at the same time.
//
// The copy hands views into its reader's buffer without copying them, and calls
// ReleaseViews before it refills or closes that buffer: what the hash has not reached yet
// is then copied aside when it fits in a bounded backlog, so neither side waits for the
// other unless the hash falls behind by more than that. On a machine without a core for
// each thread the copy aside would only take time from the hash: there is no backlog, and
// the copy waits for the hash of its views instead.
class HashPipeline {
public:
    struct FinishedDigest {
        std::uint32_t label = 0;  // what the caller gave Finish
        Sha256Digest digest{};
    };

    // 1 MiB with three cores or more (the copy and two hashes), none with fewer.
    static std::size_t DefaultBacklogBytes();

    explicit HashPipeline(std::size_t backlogBytes = DefaultBacklogBytes());
    // Drops what is still queued and waits for the thread; views handed earlier are no
    // longer read once the destructor returns.
    ~HashPipeline();
    HashPipeline(const HashPipeline&) = delete;
    HashPipeline& operator=(const HashPipeline&) = delete;

    // The view must stay valid until the next ReleaseViews or Settle.
    void Add(std::span<const char> view);
    // As Add, for bytes that do not outlive the call (a header built on the stack).
    void AddCopy(std::span<const char> bytes);
    // Ends the message; its digest comes out of TakeFinished under label.
    void Finish(std::uint32_t label);

    // Returns once no view handed so far is read any more. Waits only when the copies of
    // what is still to hash would not fit in the backlog.
    void ReleaseViews();
    // Returns once everything queued so far has been hashed. Both rethrow a failure of the
    // hashing thread (after which nothing more is hashed).
    void Settle();
    // The digests finished since the last call, in the order of the Finish calls. Never
    // waits: a digest still being computed comes out of a later call.
    std::vector<FinishedDigest> TakeFinished();

private:
    struct Command {
        const char* data = nullptr;  // a view; unused when owned holds the bytes
        std::size_t size = 0;
        std::size_t done = 0;     // bytes hashed so far
        std::vector<char> owned;  // bytes copied aside
        bool finish = false;      // a Finish, not data
        std::uint32_t label = 0;
        const char* Bytes() const { return owned.empty() ? data : owned.data(); }
    };

    void Queue(Command command);
    std::size_t ViewBytesLeft() const;
    void Work();
    void RethrowFailure() const;

    const std::size_t m_backlogBytes;
    Sha256Hasher m_hasher;  // touched by the thread only
    std::mutex m_mutex;
    std::condition_variable m_workArrived;
    std::condition_variable m_workDone;
    std::deque<Command> m_queue;
    std::size_t m_ownedBytes = 0;  // bytes copied aside and not hashed yet
    // Buffers of hashed copies, kept for the next ones: fresh memory for every chunk would
    // cost the system more than the copy itself.
    std::vector<std::vector<char>> m_spareBuffers;
    std::vector<FinishedDigest> m_finished;
    std::exception_ptr m_failure;
    bool m_working = false;  // the thread is reading the front command outside the lock
    bool m_paused = false;   // ReleaseViews is copying queued views aside
    bool m_ending = false;
    std::thread m_thread;  // last: starts once everything above exists
};

}  // namespace zirared
