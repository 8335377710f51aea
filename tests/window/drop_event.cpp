#include "drop_event.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace zirared {

void Drop(QWidget* page, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    // A drop only reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page, &drop);
}

}  // namespace zirared
