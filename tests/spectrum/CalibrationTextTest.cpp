#include "spectrum/CalibrationText.h"
#include "spectrum/SpectrumErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

TEST(CalibrationText, BothFormsReadBackExactlyInAnyLocale)
{
    const TWavelengthCalibration calibration({349.87654321012343, 0.931234567890123, -1.2345678901234e-4, 3.3e-8},
                                             0.0123456789);
    const TWavelengthCalibration unknownRms({400.5, 0.75});
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const std::string file = CalibrationFileText(calibration);
    const std::string stored = CalibrationStoredText(calibration);
    std::setlocale(LC_ALL, "C");
    EXPECT_THAT(file, testing::HasSubstr("\norder: 3\na0: 349.87654321012343\n"));
    EXPECT_EQ(stored, "order=3;a=349.87654321012343,0.931234567890123,-0.00012345678901234,3.3e-08;rms=0.0123456789");
    for (const TWavelengthCalibration& read : {ParseCalibrationFile(file), ParseCalibrationStored(stored)}) {
        EXPECT_EQ(read.Coefficients(), calibration.Coefficients());
        EXPECT_EQ(read.Rms(), calibration.Rms());
    }
    EXPECT_TRUE(std::isnan(ParseCalibrationStored(CalibrationStoredText(unknownRms)).Rms()));
    EXPECT_EQ(ParseCalibrationFile("\n# x\n  ORDER : 1 \r\nA1: 2\na0: 1\n").Coefficients(),
              (std::vector<double>{1, 2}));
}

TEST(CalibrationText, DamagedTextsNameTheFault)
{
    struct Case {
        const char* Text;
        bool Stored;
        const char* Reason;
    } cases[] = {
        {"", true, "does not say its order"},
        {"garbage", true, "is damaged"},
        {"order=4;a=1,2,3,4,5", true, "must be 1, 2 or 3"},
        {"order=2;a=1,2", true, "lacks its coefficient a2"},
        {"order=1;a=1,2,3", true, "entry \"a2\""},
        {"order=1;a=1,x2", true, "a1 \"x2\" is not a number"},
        {"order=1;a=1,1e999", true, "is not a number"},
        {"order=1;a=1,2;rms=;", true, "rms \"\" is not a number"},
        {"order=1;order=1;a=1,2", true, "names \"order\" twice"},
        {"order: 1\na0: 1\na1 2\n", false, "without \"name: value\""},
        {"order: 1\na0: 1,5\na1: 2\n", false, "a0 \"1,5\" is not a number"},
        {"order: 1\na0: 1\na1: 2\ncolour: red\n", false, "entry \"colour\""},
    };
    for (const Case& c : cases) {
        try {
            c.Stored ? ParseCalibrationStored(c.Text) : ParseCalibrationFile(c.Text);
            ADD_FAILURE() << c.Text;
        } catch (const ESpectrum& error) {
            EXPECT_THAT(error.what(), testing::HasSubstr(c.Reason)) << c.Text;
        }
    }
}

} // namespace
