#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace zirared {

class Dialogs;
class SplittaFile;

// Files from outside the window, given on the command line or by a second start, each taken
// as if dropped in turn. None is taken before the window is on the screen, so that its
// questions open over the window and not where the window manager had yet to put it, nor
// while an operation runs: a file waits until the window is free.
class ArrivingFiles final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ArrivingFiles)

public:
    // `window` must have been shown; `dialogs` are its dialogs.
    ArrivingFiles(SplittaFile& window, Dialogs& dialogs);

    // Takes `path` (the file system's bytes) in its turn. Returns why it is refused, or an
    // empty text when it will be taken. A file that cannot be used is still shown its reason
    // in the window, in turn; a file arriving while an operation copies is refused at once,
    // one arriving while only a message of it waits for the user is taken once it is over.
    QString Offer(const QByteArray& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeNextWhenFree();

    struct Arrival {
        QByteArray path;
        QString refusal;
    };

    SplittaFile& m_window;
    Dialogs& m_dialogs;
    QList<Arrival> m_waiting;
    bool m_onScreen = false;
    bool m_taking = false;
};

}  // namespace zirared
