#pragma once

#include <QList>
#include <QUrl>

class QWidget;

namespace zirared {

// Drops `urls` on `page` as a file manager would: the drag's entry, then the drop.
void Drop(QWidget* page, const QList<QUrl>& urls);

}  // namespace zirared
