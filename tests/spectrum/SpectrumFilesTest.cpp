#include "spectrum/JcampDx.h"
#include "spectrum/ReferenceLines.h"
#include "spectrum/SpectrumCsv.h"
#include "spectrum/SpectrumErrors.h"
#include "spectrum/WavelengthCalibration.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>

namespace {

TJcampSpectrum Sample()
{
    const TWavelengthCalibration calibration({344.0, 0.98, -3.0e-4, 2.0e-7});
    TJcampSpectrum spectrum;
    spectrum.Title = "Fluorescent lamp\r\nCOM11";
    spectrum.Labels = {{"PORT", "COM11"}, {"EXPOSURE", "100"}, {"LONG", std::string(200, 'x')}};
    for (int pixel = 6; pixel <= 512; ++pixel) {
        spectrum.X.push_back(calibration.Wavelength(pixel));
        spectrum.Y.push_back(256 - (pixel * 37 % 251) + 0.125);
    }
    return spectrum;
}

// Our own reader takes back what we wrote, exactly, whatever the locale it
// was written in; every line is within JCAMP-DX's 80 characters.
TEST(JcampDx, WritesTheStandardFormAndReadsItBack)
{
    const TJcampSpectrum spectrum = Sample();
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const std::string text = JcampDxText(spectrum);
    std::setlocale(LC_ALL, "C");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80u) << line;
    EXPECT_THAT(text, testing::StartsWith("##TITLE=Fluorescent lamp  COM11\n##JCAMP-DX=4.24\n"));
    EXPECT_THAT(text, testing::HasSubstr("\n##NPOINTS=507\n##$PORT=COM11\n##$EXPOSURE=100\n"));
    EXPECT_THAT(text, testing::HasSubstr("\n##XYPOINTS=(XY..XY)\n349.8"));
    EXPECT_THAT(text, testing::EndsWith("\n##END=\n"));

    const TJcampSpectrum read = ParseJcampDx(text);
    EXPECT_EQ(read.X, spectrum.X);
    EXPECT_EQ(read.Y, spectrum.Y);
    EXPECT_EQ(read.Title, "Fluorescent lamp  COM11");
    EXPECT_EQ(read.XUnits, "NANOMETERS");
    EXPECT_EQ(read.Labels, spectrum.Labels);
}

TEST(JcampDx, ReadingRefusesWhatItCannotTake)
{
    const std::string head = "##TITLE=t\n##NPOINTS=2\n";
    struct Case {
        std::string Text;
        const char* Reason;
    } cases[] = {
        {head + "##END=\n", "holds no ##XYPOINTS= data"},
        {head + "##XYDATA=(X++(Y..Y))\n1 2 3\n##END=\n", "Only JCAMP-DX files with"},
        {head + "##XYPOINTS=(XY..XY)\n1, 2; 3\n##END=\n", "x value without its y value"},
        {head + "##XYPOINTS=(XY..XY)\n1, 2; 3, 4,5\n##END=\n", "x value without its y value"},
        {head + "##XYPOINTS=(XY..XY)\n1, 2; 3, ?\n##END=\n", "\"?\" is not a number"},
        {head + "##XYPOINTS=(XY..XY)\n1, 2\n##END=\n", "announces 2 points but holds 1"},
        {head + "##XYPOINTS=(XYZ)\n1, 2\n##END=\n", "the form (XY..XY)"},
        {"##YFACTOR=1e300\n##XYPOINTS=(XY..XY)\n1, 1e300\n", "too large"},
        {"##TITLE\n", "has no '='"},
    };
    for (const Case& c : cases) {
        try {
            ParseJcampDx(c.Text);
            ADD_FAILURE() << c.Text;
        } catch (const ESpectrum& error) {
            EXPECT_THAT(error.what(), testing::HasSubstr(c.Reason)) << c.Text;
        }
    }
    // Factors, comments and a peak table as other programs write them.
    const TJcampSpectrum other =
        ParseJcampDx("##TITLE=x $$ note\r\n##XFACTOR=0.5\r\n##YFACTOR=2\r\n##PEAK TABLE=(XY..XY)\r\n"
                     "2,3 4,5;6 , 7 $$ last\r\n##END=\r\n");
    EXPECT_EQ(other.X, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(other.Y, (std::vector<double>{6, 10, 14}));
    EXPECT_EQ(other.Title, "x");
}

// jcampconverter, a reader written elsewhere, takes the file as we write it
// to within 1e-6 in every x and y, also when written under a German locale.
TEST(JcampDx, AnIndependentReaderReadsOurFile)
{
    const TJcampSpectrum spectrum = Sample();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale << ": run scripts/setup";
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const QString path = dir.filePath(QStringLiteral("spectrum.jdx"));
        std::ofstream(path.toStdString(), std::ios::binary) << JcampDxText(spectrum);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());

        QProcess node;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        node.setProcessEnvironment(environment);
        node.start(QStringLiteral("node"), {QStringLiteral(JCAMP_CHECK_DIR "/read.mjs"), path});
        ASSERT_TRUE(node.waitForFinished(60000)) << "node is needed: run scripts/setup";
        ASSERT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString() << "\nrun scripts/setup";
        const QJsonObject read = QJsonDocument::fromJson(node.readAllStandardOutput()).object();

        EXPECT_EQ(read[QStringLiteral("jcampVersion")].toString(), QStringLiteral("4.24"));
        EXPECT_TRUE(read[QStringLiteral("xypoints")].toBool());
        EXPECT_EQ(read[QStringLiteral("xUnits")].toString(), QStringLiteral("NANOMETERS"));
        EXPECT_EQ(read[QStringLiteral("nbPoints")].toInt(), 507);
        EXPECT_DOUBLE_EQ(read[QStringLiteral("firstX")].toDouble(), spectrum.X.front());
        EXPECT_DOUBLE_EQ(read[QStringLiteral("lastX")].toDouble(), spectrum.X.back());
        const QJsonArray x = read[QStringLiteral("x")].toArray();
        const QJsonArray y = read[QStringLiteral("y")].toArray();
        ASSERT_EQ(x.size(), 507);
        ASSERT_EQ(y.size(), 507);
        for (qsizetype i = 0; i < 507; ++i) {
            EXPECT_NEAR(x[i].toDouble(), spectrum.X[size_t(i)], 1e-6 * std::abs(spectrum.X[size_t(i)])) << i;
            EXPECT_NEAR(y[i].toDouble(), spectrum.Y[size_t(i)], 1e-6 * std::abs(spectrum.Y[size_t(i)])) << i;
        }
    }
}

TEST(SpectrumCsv, ReadsCommentsColumnsAndRows)
{
    const TSpectrumTable table = ParseSpectrumCsv(
        "# port: COM11\r\n# calibration order: 3\n\npixel,wavelength (nm),raw reading,plotted value\n"
        "6,349.8,12,244\n7,350.75,-3,259\n");
    EXPECT_EQ(table.Comment("port"), "COM11");
    EXPECT_EQ(table.Comment("calibration order"), "3");
    EXPECT_EQ(table.Column("wavelength (nm)"), 1);
    EXPECT_EQ(table.Column("nm"), -1);
    EXPECT_EQ(table.Rows, (std::vector<std::vector<double>>{{6, 349.8, 12, 244}, {7, 350.75, -3, 259}}));

    for (const char* bad : {"", "# only: comments\n", "a,b\n1\n", "a,b\n1,x\n", "a,b\n1,2,3\n"})
        EXPECT_THROW(ParseSpectrumCsv(bad), ESpectrum) << bad;
}

TEST(ReferenceLines, ListsAreOrderedAndNamed)
{
    for (const TLamp lamp : Lamps()) {
        const std::vector<TReferenceLine>& lines = ReferenceLines(lamp);
        ASSERT_GE(lines.size(), 10u) << LampName(lamp);
        for (size_t i = 1; i < lines.size(); ++i)
            EXPECT_LT(lines[i - 1].Wavelength, lines[i].Wavelength);
        for (const TReferenceLine& line : lines) {
            EXPECT_GT(line.Wavelength, 300);
            EXPECT_LT(line.Wavelength, 900);
            EXPECT_FALSE(line.Species.empty());
        }
        EXPECT_EQ(LampFromKey(LampKey(lamp)), lamp);
    }
    EXPECT_EQ(ReferenceLines(TLamp::Fluorescent)[3].Wavelength, 435.8328);
    EXPECT_THROW(LampFromKey("xe"), ESpectrum);
    EXPECT_THROW(ParseLineList("500.1 abc Ne I\n"), ESpectrum);
    EXPECT_EQ(ParseLineList("# c\n\n  600 0.5 Ne  I\n500 1\n").front().Wavelength, 500);
}

} // namespace
