#pragma once

#include "spectrum/CalibrationFit.h"
#include "spectrum/CalibrationProposal.h"

#include <QDialog>
#include <QPointer>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TCalibrationMenu;
class TForm1;
class TXYGraph;

// "Calibrate Wavelength": the peaks of the spectrum shown, each paired with
// a line of the chosen lamp (suggested by order and spacing, every pairing
// editable here or by clicking the peak on the graph), the fit of the
// chosen order with each line's residual and the RMS, and "Apply".
//
// Line centres are only as good as the noise allows, so the dialog first
// averages the next frames (64 unless the operator chooses otherwise) and
// finds the peaks on that average; without acquisition running it takes
// the spectrum shown. It does not block the window.
class TCalibrationDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int DefaultFrames = 64;

    TCalibrationDialog(TCalibrationMenu& menu, TForm1& form);
    ~TCalibrationDialog() override;

    QComboBox* Lamp;
    QComboBox* Order;
    QSpinBox* Frames;
    QPushButton* FindPeaksButton;
    QLabel* Progress;
    QTableWidget* Peaks;
    QLabel* Result;
    QPushButton* ApplyButton;
    QPushButton* CloseButton;

    // Frames averaged so far, and the fit of the pairings as they stand.
    int FramesAveraged() const { return framesAveraged_; }
    const std::optional<TCalibrationFit>& Fit() const { return fit_; }
    const TCalibrationProposal& Proposal() const { return proposal_; }
    // Pairs the peak with the lamp's line (-1: none) as the table's choice does.
    void PairPeak(int peak, int line);
    // Selects the peak nearest to the pixel, within 5 pixels.
    void SelectPeakNear(double pixel);
    // Starts averaging again from the spectrum shown.
    void StartAveraging();

private:
    void CreateControls();
    void AddFrame();
    void ShowProgress();
    // Finds the peaks of the average and suggests their lines.
    void Propose();
    void FillTable();
    void Refit();
    void Apply();
    void PickOnGraph(int x);

    TCalibrationMenu& menu_;
    // The window's graph, which goes before the dialog when the window closes.
    QPointer<TXYGraph> graph_;
    std::vector<double> sum_;
    int framesAveraged_ = 0;
    TCalibrationProposal proposal_;
    std::optional<TCalibrationFit> fit_;
};
