#pragma once

#include "app/CalibratedAxis.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <string>
#include <vector>

class QAction;
class TCalibrationDialog;
class TForm1;

// The wavelength calibration in the window: the operator's actions
//
//   Calibrate Wavelength...   the dialog that pairs the lamp's peaks with lines
//   Clear Calibration         back to pixels
//   Export Calibration..., Import Calibration...
//   Label Peaks               the strongest peaks labelled with their position
//
// and the calibration of the instrument on the window's port, kept in the
// user's store per port name, loaded at start and whenever the port name
// changes. Without a calibration kept or made the window is as it always was.
class TCalibrationMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int LabelledPeaks = 8;

    explicit TCalibrationMenu(TForm1& form);

    const TCalibratedAxis& Axis() const { return axis_; }
    double PlotX(int pixel) const { return axis_.PlotX(pixel); }
    // The plotted curve's values from pixel 6 on; empty before a frame.
    std::vector<double> CurveValues() const;

    // Called by the window once a frame is plotted, before it paints.
    void FramePlotted(int curve);

    // Uses the calibration for the window's port and keeps it there.
    void ApplyCalibration(const TWavelengthCalibration& calibration);
    void ClearCalibration();
    // Raise an Exception naming the file on failure; export also without
    // a calibration.
    void ExportCalibrationTo(const QString& path) const;
    void ImportCalibrationFrom(const QString& path);
    void SetLabelPeaks(bool on);

    QList<QAction*> Actions() const;
    QAction* CalibrateAction;
    QAction* ClearAction;
    QAction* ExportAction;
    QAction* ImportAction;
    QAction* LabelPeaksAction;

signals:
    // A new frame is on the graph.
    void FrameShown();

private:
    void CreateActions();
    // Follows the window's port: its kept calibration, or pixels. A damaged
    // one is reported and pixels are used.
    void LoadForPort();
    void ShowDialog();
    void LabelPeaks(int curve);
    QString AskForFile(bool save);

    TForm1& form_;
    TCalibratedAxis axis_;
    std::string port_;
    QPointer<TCalibrationDialog> dialog_;
    QString lastDirectory_;
};
