#include "size_label.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <ostream>

#include "print_row.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"

namespace zirared {
namespace {

using test::PrintTo;

// Restores the default locale whatever a test sets.
class LocaleGuard {
public:
    explicit LocaleGuard(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::system()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;
};

struct SizeLabelCase {
    const char* why;
    QLocale::Language language;
    int sliderValue;
    const char* expected;
};

class SizeLabel : public ::testing::TestWithParam<SizeLabelCase> {};

TEST_P(SizeLabel, FollowsTheDefaultLocale) {
    const SizeLabelCase& c = GetParam();
    const LocaleGuard locale(c.language);
    EXPECT_EQ(SizeLabelText(c.sliderValue).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SizeLabel,
    ::testing::Values(
        SizeLabelCase{"ItalianStart", QLocale::Italian, 1, "1,4 MB (1.434 KB)"},
        SizeLabelCase{"ItalianKilobytesRoundUp", QLocale::Italian, 3, "4,2 MB (4.301 KB)"},
        SizeLabelCase{"ItalianLargestTwoIntegerDigits", QLocale::Italian, 40,
                      "56,0 MB (57.344 KB)"},
        SizeLabelCase{"EnglishSwapsTheSymbols", QLocale::English, 1, "1.4 MB (1,434 KB)"},
        SizeLabelCase{"EnglishKilobytesRoundUp", QLocale::English, 3, "4.2 MB (4,301 KB)"},
        SizeLabelCase{"EnglishLargest", QLocale::English, 40, "56.0 MB (57,344 KB)"},
        // Qt groups these only from five digits; the label groups every thousand.
        SizeLabelCase{"SpanishGroupsFourDigits", QLocale::Spanish, 1, "1,4 MB (1.434 KB)"},
        SizeLabelCase{"PortugueseGroupsFourDigits", QLocale::Portuguese, 3, "4,2 MB (4.301 KB)"},
        SizeLabelCase{"PolishKeepsItsSpaceSeparator", QLocale::Polish, 1, "1,4 MB (1\u00a0434 KB)"},
        SizeLabelCase{"SpanishFiveDigitsAsQtGroupsThem", QLocale::Spanish, 40,
                      "56,0 MB (57.344 KB)"},
        // The C locale never groups by itself.
        SizeLabelCase{"CLocaleGroupsToo", QLocale::C, 40, "56.0 MB (57,344 KB)"}),
    [](const auto& info) { return info.param.why; });

TEST(SizeLabel, EverySliderValueRoundsLikeExactArithmetic) {
    const LocaleGuard locale(QLocale::English);
    for (int v = 1; v <= 40; ++v) {
        // v × 1.4 MB and v × 1433.6 KB, computed in integers to catch floating-point slips.
        const int tenthsOfMegabyte = v * 14;
        const int kilobytes = (v * 14336 + 5) / 10;
        const QString expected = QStringLiteral("%1.%2 MB (%3 KB)")
                                     .arg(tenthsOfMegabyte / 10)
                                     .arg(tenthsOfMegabyte % 10)
                                     .arg(QLocale().toString(kilobytes));
        EXPECT_EQ(SizeLabelText(v), expected) << "slider value " << v;
    }
}

TEST(SizeSlider, LabelFollowsTheThumbWhileDraggedAndSizeIsValueTimes1400) {
    const LocaleGuard locale(QLocale::Italian);
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    QScrollBar* slider = window.design().HScroll1;
    EXPECT_EQ(window.design().lblDimFile->text(), QStringLiteral("1,4 MB (1.434 KB)"));
    EXPECT_EQ(window.GetPieceSizeKB(), 1400);

    // The thumb held down and moved: the label follows before the release.
    slider->setSliderDown(true);
    slider->setSliderPosition(3);
    EXPECT_EQ(window.design().lblDimFile->text(), QStringLiteral("4,2 MB (4.301 KB)"));
    slider->setSliderDown(false);

    slider->setValue(40);
    EXPECT_EQ(window.design().lblDimFile->text(), QStringLiteral("56,0 MB (57.344 KB)"));
    EXPECT_EQ(window.GetPieceSizeKB(), 56000);

    slider->setValue(0);
    EXPECT_EQ(slider->value(), 1) << "the slider must not reach 0";
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(slider->value(), 6) << "a click on the track moves by 5";
    slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(slider->value(), 5) << "an arrow moves by 1";
}

}  // namespace
}  // namespace zirared
