#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace zirared {

// What a drop onto an operation page amounts to: one file to work on, named in the file
// system's bytes, or the reason it is refused (exactly one of the two is set).
struct DropVerdict {
    QByteArray path;
    QString refusal;
};

DropVerdict ClassifyDrop(const QList<QUrl>& urls);
// The same for one file named by the command line or a second start: refused, naming it,
// when it does not exist, is a folder or is not a regular file (a FIFO, socket or device).
DropVerdict ClassifyDroppedFile(const QByteArray& path);

// Why a file cannot be taken while an operation runs.
QString BusyRefusal();

}  // namespace zirared
