#include "graph/ScaleLabel.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace {

// Seven significant digits, halves away from zero; no minus sign on values
// that round to zero; large values and non-numbers have their own forms.
TEST(ScaleLabelTest, FixedPointTexts)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int digits;
        const char* text;
    } cases[] = {
        {409.6, 0, "410"}, {307.2, 0, "307"}, {512 - 3 * 102.4, 0, "205"}, {512 - 4 * 102.4, 0, "102"},
        {2.5, 0, "3"}, {-2.5, 0, "-3"}, {0.125, 2, "0.13"}, {10, 2, "10.00"}, {0.05, 2, "0.05"}, {0.005, 2, "0.01"},
        {0.004, 2, "0.00"}, {9.999, 2, "10.00"}, {99.96, 1, "100.0"}, {123456.789, 2, "123456.80"},
        {1.23456789, 4, "1.2346"}, {0.0, 3, "0.000"},
        {-1.7e-15, 2, "0.00"}, {-0.0, 0, "0"}, {-0.4, 0, "0"}, {-0.6, 0, "-1"},
        {12345678.9, 0, "1.234568E7"}, {-1e20, 2, "-1E20"}, {9999999.6, 0, "1E7"}, {NaN, 2, "NAN"}, {-Inf, 2, "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, 7, c.digits, QStringLiteral(".")), c.text) << c.value << " " << c.digits;
    EXPECT_EQ(FormatFixed(1.5, 7, 2, QStringLiteral(",")), "1,50");
}

TEST(ScaleLabelTest, LabelsUseTheSystemSeparatorAndAreCutToTwelveCharacters)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatScaleLabel(2, 2), "2,00");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FormatScaleLabel(2, 2), "2.00");
    EXPECT_EQ(FormatScaleLabel(-1234567.25, 4), "-1234567.000");
    EXPECT_EQ(FormatScaleLabel(512, 0), "512");
    QLocale::setDefault(saved);
}

} // namespace
