#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace zirared {

// What a drop onto an operation page amounts to: one file to work on, or the reason it
// is refused (exactly one of the two is set).
struct DropVerdict {
    QString path;
    QString refusal;
};

DropVerdict ClassifyDrop(const QList<QUrl>& urls);

}  // namespace zirared
