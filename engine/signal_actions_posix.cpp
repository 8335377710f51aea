#include <sys/resource.h>

#include "signal_actions.h"

namespace zirared {

void SignalActions::Take(int number, const struct sigaction& action) {
    struct sigaction found {};
    if (::sigaction(number, nullptr, &found) != 0 || found.sa_handler == SIG_IGN) {
        return;
    }
    if (::sigaction(number, &action, nullptr) == 0) {
        m_saved.push_back({number, found});
    }
}

void SignalActions::Catch(std::initializer_list<int> numbers, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (const int number : numbers) {
        Take(number, action);
    }
}

void SignalActions::Ignore(std::initializer_list<int> numbers) {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    for (const int number : numbers) {
        Take(number, action);
    }
}

void SignalActions::Restore() {
    while (!m_saved.empty()) {
        ::sigaction(m_saved.back().number, &m_saved.back().action, nullptr);
        m_saved.pop_back();
    }
}

void EndBySignal(int number) {
    struct rlimit core {};
    if (::getrlimit(RLIMIT_CORE, &core) == 0) {
        core.rlim_cur = 0;
        ::setrlimit(RLIMIT_CORE, &core);
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
    ::raise(number);
}

}  // namespace zirared
