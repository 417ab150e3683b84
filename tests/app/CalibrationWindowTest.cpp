#include "AppTestSupport.h"

#include "app/CalibrationDialog.h"
#include "app/CalibrationMenu.h"
#include "app/CalibrationStore.h"
#include "app/ComMainForm.h"
#include "app/OperatorMenu.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/posix/Registry.h"
#include "simulator/LampOptions.h"
#include "spectrum/JcampDx.h"
#include "spectrum/SpectrumCsv.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const TWavelengthCalibration Cubic({344.5, 0.915, -1.0e-4, 1.0e-7}, 0.02);
const std::string PixelTitle = "Wellenl\xe4nge (z.Z. Sensor-Pixel)";

// Puts one frame of readings on the graph as the window plots it.
void Plot(TForm1& form, const std::vector<int>& readings)
{
    form.XYGraph1->DeleteCurve(0);
    const int curve = form.XYGraph1->AddCurve("Sinus", 65280, 1, psSolid, true);
    for (int x = 6; x <= 512; ++x)
        form.XYGraph1->AddPoint(curve, form.CalibrationMenu().PlotX(x), 256.0 - readings[size_t(x - 6)]);
    form.CalibrationMenu().FramePlotted(curve);
    form.XYGraph1->Paint();
}

class CalibrationWindowTest : public ::testing::Test {
protected:
    TCalibrationMenu& Menu() { return form->CalibrationMenu(); }
    void Restart(const std::string& port = "COM11")
    {
        form.reset();
        form = std::make_unique<TForm1>();
        if (port != "COM11") {
            form->ComPort->SetPort(port);
            Plot(*form, std::vector<int>(507, 20));
        }
    }

    TTemporaryConfigHome stores;
    TShownErrors errors;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
};

// Calibrated, the axis reads nm and its home is the calibrated range; the
// curve's x are wavelengths; cleared, everything is as before.
TEST_F(CalibrationWindowTest, TheAxisFollowsTheCalibrationAndComesBackWhole)
{
    Plot(*form, std::vector<int>(507, 20));
    TAxis& axis = form->XYGraph1->XAxis();
    const auto before = std::make_tuple(axis.Title(), axis.Min(), axis.Max(), axis.HomeMin(), axis.HomeMax());
    EXPECT_FALSE(Menu().ClearAction->isEnabled());

    Menu().ApplyCalibration(Cubic);
    EXPECT_EQ(axis.Title(), "Wavelength (nm)");
    EXPECT_DOUBLE_EQ(axis.HomeMin(), Cubic.Wavelength(6));
    EXPECT_DOUBLE_EQ(axis.HomeMax(), Cubic.Wavelength(512));
    EXPECT_DOUBLE_EQ(form->XYGraph1->Curve(0)->Points[100].X, Cubic.Wavelength(106));
    form->XYGraph1->SetZoom(2.0);
    form->XYGraph1->ResetAxes();
    EXPECT_NEAR(axis.Min(), Cubic.Wavelength(6), 1e-9);
    EXPECT_NEAR(axis.Max(), Cubic.Wavelength(512), 1e-9);
    EXPECT_EQ(Menu().Axis().PositionText(546.0735), "546.07 nm");
    EXPECT_NEAR(Menu().Axis().PixelAt(Cubic.Wavelength(300.25)), 300.25, 1e-9);

    Menu().ClearCalibration();
    EXPECT_EQ(std::make_tuple(axis.Title(), axis.Min(), axis.Max(), axis.HomeMin(), axis.HomeMax()), before);
    EXPECT_EQ(axis.Title(), PixelTitle);
    EXPECT_DOUBLE_EQ(form->XYGraph1->Curve(0)->Points[100].X, 106);
    EXPECT_EQ(Menu().Axis().PositionText(224.56), "pixel 224.6");
    EXPECT_TRUE(errors.Shown().empty());
}

// Kept per port across a restart; another port does not get it; a damaged
// one is reported and pixels are used.
TEST_F(CalibrationWindowTest, KeptPerPortAndDamageReportedNotFatal)
{
    Menu().ApplyCalibration(Cubic);
    Restart();
    ASSERT_TRUE(Menu().Axis().Calibration().has_value());
    EXPECT_EQ(Menu().Axis().Calibration()->Coefficients(), Cubic.Coefficients());
    EXPECT_EQ(form->XYGraph1->XAxis().Title(), "Wavelength (nm)");

    Restart("COM12");
    EXPECT_FALSE(Menu().Axis().Calibration().has_value());
    EXPECT_EQ(form->XYGraph1->XAxis().Title(), PixelTitle);

    for (const char* damaged : {"order=3;a=1,2", "order=2;a=400,1,-0.002", "order=1;a=-100,0.5"}) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(CalibrationStore::KeyPath));
        registry.WriteString("COM11", damaged);
        registry.CloseKey();
        Restart();
        ASSERT_TRUE(WaitUntil([this] { return !errors.Shown().empty(); })) << damaged;
        EXPECT_THAT(errors.Shown().back().second.toStdString(), testing::HasSubstr("kept for COM11"));
        EXPECT_FALSE(Menu().Axis().Calibration().has_value());
        EXPECT_EQ(form->XYGraph1->XAxis().Title(), PixelTitle);
    }
}

// Export and import, and the spectrum files with the wavelength axis.
TEST_F(CalibrationWindowTest, FilesCarryTheCalibration)
{
    QTemporaryDir dir;
    const QString calibration = dir.filePath(QStringLiteral("lamp.cal"));
    EXPECT_THROW(Menu().ExportCalibrationTo(calibration), Exception);
    Menu().ApplyCalibration(Cubic);
    Menu().ExportCalibrationTo(calibration);
    Menu().ClearCalibration();
    Menu().ImportCalibrationFrom(calibration);
    ASSERT_TRUE(Menu().Axis().Calibration().has_value());
    EXPECT_EQ(Menu().Axis().Calibration()->Coefficients(), Cubic.Coefficients());
    EXPECT_THROW(Menu().ImportCalibrationFrom(dir.filePath(QStringLiteral("none.cal"))), Exception);

    Plot(*form, std::vector<int>(507, 20));
    const QString csvPath = dir.filePath(QStringLiteral("s.csv"));
    const QString jdxPath = dir.filePath(QStringLiteral("s.JDX"));
    form->OperatorMenu().SaveSpectrumTo(csvPath);
    form->OperatorMenu().SaveSpectrumTo(jdxPath);
    const auto read = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    };
    const TSpectrumTable csv = ParseSpectrumCsv(read(csvPath));
    EXPECT_EQ(csv.Columns, (std::vector<std::string>{"pixel", "wavelength (nm)", "raw reading", "plotted value"}));
    EXPECT_EQ(csv.Comment("calibration order"), "3");
    EXPECT_EQ(csv.Comment("calibration rms (nm)"), "0.02");
    EXPECT_EQ(csv.Comment("calibration coefficients a0..a3"), "344.5 0.915 -1e-04 1e-07");
    EXPECT_EQ(csv.Rows[1][0], 7);
    EXPECT_DOUBLE_EQ(csv.Rows[1][1], Cubic.Wavelength(7));
    const TJcampSpectrum jcamp = ParseJcampDx(read(jdxPath));
    ASSERT_EQ(jcamp.X.size(), 507u);
    EXPECT_DOUBLE_EQ(jcamp.X[506], Cubic.Wavelength(512));
    EXPECT_EQ(jcamp.Y[0], 236);
    EXPECT_EQ(jcamp.XUnits, "NANOMETERS");
}

// The dialog's own path on the simulator's fluorescent lamp: the frames it
// averages, the peaks and pairings it suggests, Apply.
TEST_F(CalibrationWindowTest, TheDialogCalibratesFromTheLampWithinATenthOfANanometre)
{
    Plot(*form, std::vector<int>(507, 20));
    Menu().SetLabelPeaks(true);
    Menu().CalibrateAction->trigger();
    TCalibrationDialog* dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = form->findChild<TCalibrationDialog*>()) && dialog->isVisible(); }));
    EXPECT_FALSE(dialog->ApplyButton->isEnabled());

    TLampOptions lamp;
    lamp.Lamp = TLamp::Fluorescent;
    const std::vector<TEmissionLine> sensorLines = LampEmissionLines(lamp, 512);
    TSensorModel sensor(512, 3, {}, sensorLines);
    std::vector<int> readings;
    for (int frame = 0; frame < TCalibrationDialog::DefaultFrames; ++frame) {
        sensor.Generate(TSensorModel::ReferenceExposure, readings);
        Plot(*form, readings);
    }
    EXPECT_EQ(dialog->FramesAveraged(), TCalibrationDialog::DefaultFrames);
    EXPECT_EQ(form->XYGraph1->Curve(0)->Labels.size(), size_t(TCalibrationMenu::LabelledPeaks));
    ASSERT_TRUE(dialog->Fit().has_value()) << dialog->Result->text().toStdString();
    EXPECT_LT(dialog->Fit()->Rms, 0.05);

    // An edit refits; order 1 is visibly worse.
    dialog->Order->setCurrentIndex(0);
    ASSERT_TRUE(dialog->Fit().has_value());
    EXPECT_GT(dialog->Fit()->Rms, 0.2);
    dialog->Order->setCurrentIndex(2);
    dialog->SelectPeakNear(dialog->Proposal().PeakPixel(3) + 1.5);
    EXPECT_EQ(dialog->Peaks->currentRow(), 3);

    ClickButton(dialog->ApplyButton);
    ASSERT_TRUE(WaitUntil([this] { return Menu().Axis().Calibration().has_value(); }));
    const auto& simulated = TLampOptions::DefaultCalibration;
    const TWavelengthCalibration truth({simulated.begin(), simulated.end()});
    for (int pixel = 6; pixel <= 512; ++pixel)
        EXPECT_NEAR(Menu().Axis().Calibration()->Wavelength(pixel), truth.Wavelength(pixel), 0.1) << pixel;
    EXPECT_THAT(form->XYGraph1->Curve(0)->Labels.front().Text, testing::EndsWith(" nm"));

    // Unpairing all but two lines leaves too few for order 3: no Apply.
    for (int row = 2; row < dialog->Peaks->rowCount(); ++row)
        dialog->PairPeak(row, -1);
    EXPECT_FALSE(dialog->ApplyButton->isEnabled());
    EXPECT_THAT(dialog->Result->text().toStdString(), testing::HasSubstr("needs at least 4 paired lines"));
    EXPECT_TRUE(errors.Shown().empty());
}

} // namespace
