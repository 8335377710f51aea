#include "arriving_files.h"

#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "dialogs.h"
#include "drop_request.h"
#include "splitta_file.h"

namespace zirared {

ArrivingFiles::ArrivingFiles(SplittaFile& window, Dialogs& dialogs)
    : m_window(window), m_dialogs(dialogs) {
    QWindow* handle = window.windowHandle();
    m_onScreen = handle == nullptr || handle->isExposed();
    if (!m_onScreen) {
        handle->installEventFilter(this);
    }
    connect(&window, &SplittaFile::operationEnded, this, &ArrivingFiles::TakeNextWhenFree,
            Qt::QueuedConnection);
}

QString ArrivingFiles::Offer(const QByteArray& path) {
    const DropVerdict verdict = ClassifyDroppedFile(path);
    if (verdict.refusal.isEmpty() && !m_window.Flags().FileMayWait()) {
        // Said now, over the running operation, as for a drop or a click.
        QTimer::singleShot(0, this, [this] {
            m_dialogs.ShowMessage(&m_window, BusyRefusal(), MessageKind::Information);
        });
        return BusyRefusal();
    }
    // A refused file keeps the verdict it was answered with, whatever comes to that path.
    m_waiting.append({path, verdict.refusal});
    QTimer::singleShot(0, this, &ArrivingFiles::TakeNextWhenFree);
    return verdict.refusal;
}

bool ArrivingFiles::eventFilter(QObject* watched, QEvent* event) {
    // The window manager has placed the window before it lets it be seen.
    if (event->type() == QEvent::Expose && !m_onScreen && m_window.windowHandle()->isExposed()) {
        m_onScreen = true;
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &ArrivingFiles::TakeNextWhenFree);
    }
    return QObject::eventFilter(watched, event);
}

void ArrivingFiles::TakeNextWhenFree() {
    // Each operation, and each refusal, lets events through until it is over: a file arriving
    // meanwhile waits for this loop, which checks the window again before each file.
    if (m_taking) {
        return;
    }
    m_taking = true;
    while (m_onScreen && !m_waiting.isEmpty() && m_window.isVisible() &&
           !m_window.OperationActive()) {
        const Arrival next = m_waiting.takeFirst();
        if (next.refusal.isEmpty()) {
            m_window.OpenAsDropped(next.path);
        } else {
            m_dialogs.ShowMessage(&m_window, next.refusal, MessageKind::Warning);
        }
    }
    m_taking = false;
}

}  // namespace zirared
