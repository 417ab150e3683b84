#include "graph/ScaleLabel.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <limits>

namespace {

QString Fixed(double value, int digits)
{
    return FormatFixed(value, 7, digits, QStringLiteral("."));
}

TEST(ScaleLabelTest, FixedPointRoundsToSevenSignificantDigitsHalvesAwayFromZero)
{
    EXPECT_EQ(Fixed(409.6, 0), "410");
    EXPECT_EQ(Fixed(307.2, 0), "307");
    EXPECT_EQ(Fixed(512 - 3 * 102.4, 0), "205");
    EXPECT_EQ(Fixed(512 - 4 * 102.4, 0), "102");
    EXPECT_EQ(Fixed(2.5, 0), "3");
    EXPECT_EQ(Fixed(-2.5, 0), "-3");
    EXPECT_EQ(Fixed(0.125, 2), "0.13");
    EXPECT_EQ(Fixed(10, 2), "10.00");
    EXPECT_EQ(Fixed(0.05, 2), "0.05");
    EXPECT_EQ(Fixed(0.005, 2), "0.01");
    EXPECT_EQ(Fixed(0.004, 2), "0.00");
    EXPECT_EQ(Fixed(9.999, 2), "10.00");
    EXPECT_EQ(Fixed(99.96, 1), "100.0");
    EXPECT_EQ(Fixed(123456.789, 2), "123456.80");
    EXPECT_EQ(Fixed(1.23456789, 4), "1.2346");
    EXPECT_EQ(Fixed(0.0, 3), "0.000");
}

TEST(ScaleLabelTest, NoMinusSignOnValuesThatRoundToZero)
{
    EXPECT_EQ(Fixed(-1.7e-15, 2), "0.00");
    EXPECT_EQ(Fixed(-0.0, 0), "0");
    EXPECT_EQ(Fixed(-0.4, 0), "0");
    EXPECT_EQ(Fixed(-0.6, 0), "-1");
}

TEST(ScaleLabelTest, LargeValuesAndNonNumbersHaveTheirOwnForms)
{
    EXPECT_EQ(Fixed(12345678.9, 0), "1.234568E7");
    EXPECT_EQ(Fixed(-1e20, 2), "-1E20");
    EXPECT_EQ(Fixed(9999999.6, 0), "1E7");
    EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 2), "NAN");
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 2), "-INF");
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
