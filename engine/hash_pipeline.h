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
// The copy hands views into its reader's buffers without copying them, and calls
// ReleaseViews before it refills one. A reader with two buffers lets the hash fall a
// whole chunk behind before the copy has to wait for it, without copying anything aside.
class HashPipeline {
public:
    struct FinishedDigest {
        std::uint32_t label = 0;  // what the caller gave Finish
        Sha256Digest digest{};
    };

    // Throws FileError when the hasher or its thread cannot be had.
    explicit HashPipeline(DigestKind kind = DigestKind::Sha256);
    // Drops what is still queued and waits for the thread; views handed earlier are no
    // longer read once the destructor returns.
    ~HashPipeline();
    HashPipeline(const HashPipeline&) = delete;
    HashPipeline& operator=(const HashPipeline&) = delete;

    // The view must stay valid until a ReleaseViews of a buffer holding it, or Settle.
    void Add(std::span<const char> view);
    // As Add, for bytes that do not outlive the call (a header built on the stack).
    void AddCopy(std::span<const char> bytes);
    // Ends the message; its digest comes out of TakeFinished under label.
    void Finish(std::uint32_t label);

    // Returns once no view into buffer is read any more: at once when the hash is past it.
    void ReleaseViews(std::span<const char> buffer);
    // Returns once everything queued so far has been hashed. Both rethrow a failure of the
    // hashing thread, a FileError (after which nothing more is hashed, and every later call
    // rethrows it).
    void Settle();
    // The digests finished since the last call, in the order of the Finish calls. Never
    // waits: a digest still being computed comes out of a later call.
    std::vector<FinishedDigest> TakeFinished();
    // Ends the message, waits for its hash and returns its digest (with any finished earlier
    // and not yet taken dropped): for a message whose digest is wanted at once.
    Sha256Digest FinishAndWait();

private:
    struct Command {
        const char* data = nullptr;  // a view; unused when owned holds the bytes
        std::size_t size = 0;
        std::size_t done = 0;     // bytes hashed so far
        std::vector<char> owned;  // the bytes of an AddCopy
        bool finish = false;      // a Finish, not data
        std::uint32_t label = 0;
        const char* Bytes() const { return owned.empty() ? data : owned.data(); }
    };

    void Queue(Command command);
    bool ReadsInto(std::span<const char> buffer) const;
    void Work();
    void RethrowFailure() const;

    Sha256Hasher m_hasher;  // touched by the thread only
    std::mutex m_mutex;
    std::condition_variable m_workArrived;
    std::condition_variable m_workDone;
    std::deque<Command> m_queue;
    std::vector<FinishedDigest> m_finished;
    std::exception_ptr m_failure;
    bool m_working = false;  // the thread is reading the front command outside the lock
    bool m_ending = false;
    std::thread m_thread;  // last: starts once everything above exists
};

}  // namespace zirared
