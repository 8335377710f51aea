#include "size_label.h"

#include <QLocale>
#include <cmath>

namespace zirared {

QString SizeLabelText(int sliderValue) {
    const double megabytes = sliderValue * 1.4;
    const double kilobytes = megabytes * 1024.0;
    const QLocale locale;
    // Both figures round half away from zero; no slider value lands exactly on a half.
    const double roundedMegabytes = std::round(megabytes * 10.0) / 10.0;
    return locale.toString(roundedMegabytes, 'f', 1) + QStringLiteral(" MB (") +
           locale.toString(static_cast<qlonglong>(std::llround(kilobytes))) +
           QStringLiteral(" KB)");
}

}  // namespace zirared
