#include "size_label.h"

#include <QLocale>
#include <cmath>

#include "piece_set.h"

namespace zirared {
namespace {

// Some locales (Spanish, Polish, Portuguese) group only from five digits, so Qt writes "1434",
// and the C locale never groups; the label groups every thousand, with the locale's separator.
QString GroupedThousands(QLocale locale, qlonglong value) {
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    QString text = locale.toString(value);
    const QString separator = locale.groupSeparator();
    if (value >= 1000 && value < 10000 && !text.contains(separator)) {
        text.insert(text.size() - 3, separator);
    }
    return text;
}

}  // namespace

QString SizeLabelText(int sliderValue) {
    // A floppy disk's megabyte is 1000 KB: the unit shows as 1,4 MB, and as 1,4 × 1024 KB.
    const double megabytes = sliderValue * (kSizeUnitKB / 1000.0);
    const double kilobytes = megabytes * 1024.0;
    const QLocale locale;
    // Both figures round half away from zero; no slider value lands exactly on a half.
    const double roundedMegabytes = std::round(megabytes * 10.0) / 10.0;
    return locale.toString(roundedMegabytes, 'f', 1) + QStringLiteral(" MB (") +
           GroupedThousands(locale, std::llround(kilobytes)) + QStringLiteral(" KB)");
}

}  // namespace zirared
