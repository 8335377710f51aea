#pragma once

#include <signal.h>

#include <initializer_list>
#include <vector>

namespace zirared {

// Signal actions taken over for the length of an operation and put back exactly as they
// were found. A signal that was ignored when they were taken over stays ignored, so a
// program started under nohup (or by anything else that ignores a signal) keeps it so.
// POSIX only: the Windows console has no such signals.
class SignalActions {
public:
    SignalActions() = default;
    ~SignalActions() { Restore(); }
    SignalActions(const SignalActions&) = delete;
    SignalActions& operator=(const SignalActions&) = delete;

    // handler for each of numbers, with sigaction's flags; an ignored one is left alone.
    void Catch(std::initializer_list<int> numbers, void (*handler)(int), int flags);
    // Ignored from now on: a write to a closed pipe or past the file size limit then fails
    // with an error the file layer reports, instead of ending the process mid-copy.
    void Ignore(std::initializer_list<int> numbers);
    // Every action back as it was found, the last taken over first.
    void Restore();

private:
    void Take(int number, const struct sigaction& action);

    struct Saved {
        int number;
        struct sigaction action;
    };
    std::vector<Saved> m_saved;
};

// Ends the process by signal number with its default action, once the caller has put the
// actions back; no core file is left in the user's folder (SIGQUIT would write one).
void EndBySignal(int number);

}  // namespace zirared
