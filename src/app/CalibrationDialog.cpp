#include "app/CalibrationDialog.h"

#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "graph/Graph.h"
#include "spectrum/DecimalNumbers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

enum TColumn { colPixel, colHeight, colLine, colFitted, colResidual, colCount };

QString Number(double value, int digits)
{
    return QString::fromStdString(DecimalText(value, digits));
}

const std::vector<TReferenceLine>& LinesOf(const QComboBox* lamp)
{
    return ReferenceLines(Lamps()[static_cast<size_t>(std::max(lamp->currentIndex(), 0))]);
}

} // namespace

TCalibrationDialog::TCalibrationDialog(TCalibrationMenu& menu, TForm1& form)
    : QDialog(&form), menu_(menu), graph_(form.XYGraph1)
{
    setWindowTitle(QStringLiteral("Calibrate Wavelength"));
    CreateControls();
    connect(&menu_, &TCalibrationMenu::FrameShown, this, &TCalibrationDialog::AddFrame);
    // A click on the graph picks the peak there.
    graph_->OnMouseUp = [this](TXYGraph*, TMouseButton button, TShiftState, int x, int) {
        if (button == mbLeft && isVisible())
            PickOnGraph(x);
    };
    StartAveraging();
}

TCalibrationDialog::~TCalibrationDialog()
{
    if (graph_)
        graph_->OnMouseUp = nullptr;
}

void TCalibrationDialog::CreateControls()
{
    Lamp = new QComboBox(this);
    for (const TLamp lamp : Lamps())
        Lamp->addItem(QString::fromStdString(LampName(lamp)));
    Order = new QComboBox(this);
    Order->addItems({QStringLiteral("1 (linear)"), QStringLiteral("2"), QStringLiteral("3")});
    Order->setCurrentIndex(2);
    Frames = new QSpinBox(this);
    Frames->setRange(1, 1024);
    Frames->setValue(DefaultFrames);
    Frames->setSuffix(QStringLiteral(" frames"));
    FindPeaksButton = new QPushButton(QStringLiteral("Find Peaks Again"), this);
    Progress = new QLabel(this);

    Peaks = new QTableWidget(0, colCount, this);
    Peaks->setHorizontalHeaderLabels({QStringLiteral("Pixel"), QStringLiteral("Height"), QStringLiteral("Line (nm)"),
                                      QStringLiteral("Fitted (nm)"), QStringLiteral("Residual (nm)")});
    Peaks->horizontalHeader()->setSectionResizeMode(colLine, QHeaderView::Stretch);
    Peaks->verticalHeader()->hide();
    Peaks->setSelectionBehavior(QAbstractItemView::SelectRows);
    Peaks->setSelectionMode(QAbstractItemView::SingleSelection);
    Peaks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Peaks->setMinimumSize(660, 300);

    Result = new QLabel(this);
    Result->setWordWrap(true);
    Result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint = new QLabel(QStringLiteral("Pair each peak with its line; a click on a peak in the graph selects "
                                           "its row. Pairings are suggested from the order and spacing of the peaks."),
                            this);
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    ApplyButton = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    CloseButton = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("Lamp:"), this), 0, 0);
    settings->addWidget(Lamp, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("Order:"), this), 0, 2);
    settings->addWidget(Order, 0, 3);
    settings->addWidget(new QLabel(QStringLiteral("Average:"), this), 1, 0);
    settings->addWidget(Frames, 1, 1);
    settings->addWidget(FindPeaksButton, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(Progress);
    layout->addWidget(Peaks);
    layout->addWidget(hint);
    layout->addWidget(Result);
    layout->addWidget(buttons);

    connect(Lamp, &QComboBox::currentIndexChanged, this, &TCalibrationDialog::Propose);
    connect(Order, &QComboBox::currentIndexChanged, this, &TCalibrationDialog::Refit);
    connect(FindPeaksButton, &QPushButton::clicked, this, &TCalibrationDialog::StartAveraging);
    connect(ApplyButton, &QPushButton::clicked, this, &TCalibrationDialog::Apply, Qt::QueuedConnection);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
}

void TCalibrationDialog::StartAveraging()
{
    sum_ = menu_.CurveValues();
    framesAveraged_ = sum_.empty() ? 0 : 1;
    Propose();
}

void TCalibrationDialog::AddFrame()
{
    if (framesAveraged_ >= Frames->value())
        return;
    const std::vector<double> values = menu_.CurveValues();
    if (sum_.size() != values.size()) {
        sum_.assign(values.size(), 0.0);
        framesAveraged_ = 0;
    }
    for (size_t i = 0; i < values.size(); ++i)
        sum_[i] += values[i];
    ++framesAveraged_;
    if (framesAveraged_ == Frames->value())
        Propose();
    else
        ShowProgress();
}

void TCalibrationDialog::ShowProgress()
{
    if (framesAveraged_ == 0)
        Progress->setText(QStringLiteral("No spectrum yet: the peaks are found once frames arrive."));
    else if (framesAveraged_ < Frames->value())
        Progress->setText(QStringLiteral("Averaging: %1 of %2 frames; the peaks are found again when all are in.")
                              .arg(framesAveraged_)
                              .arg(Frames->value()));
    else
        Progress->setText(QStringLiteral("Peaks found in the average of %1 frames.").arg(framesAveraged_));
}

void TCalibrationDialog::Propose()
{
    std::vector<double> average = sum_;
    for (double& value : average)
        value /= std::max(framesAveraged_, 1);
    proposal_ = ProposeCalibration(average, TCalibratedAxis::FirstPixel, LinesOf(Lamp), {.PeaksDown = true});
    ShowProgress();
    FillTable();
    Refit();
}

void TCalibrationDialog::FillTable()
{
    const QSignalBlocker blocker(Peaks);
    Peaks->setRowCount(static_cast<int>(proposal_.Peaks.size()));
    const std::vector<TReferenceLine>& lines = LinesOf(Lamp);
    for (int row = 0; row < Peaks->rowCount(); ++row) {
        const TPeak& peak = proposal_.Peaks[static_cast<size_t>(row)];
        Peaks->setItem(row, colPixel, new QTableWidgetItem(Number(proposal_.PeakPixel(size_t(row)), 6)));
        Peaks->setItem(row, colHeight, new QTableWidgetItem(Number(peak.Height, 3)));
        auto* choice = new QComboBox(Peaks);
        choice->addItem(QStringLiteral("none"));
        for (const TReferenceLine& line : lines)
            choice->addItem(
                QStringLiteral("%1  %2").arg(Number(line.Wavelength, 7), QString::fromStdString(line.Species)));
        choice->setCurrentIndex(proposal_.Lines[static_cast<size_t>(row)] + 1);
        connect(choice, &QComboBox::currentIndexChanged, this, [this, row](int index) {
            proposal_.Lines[static_cast<size_t>(row)] = index - 1;
            Refit();
        });
        Peaks->setCellWidget(row, colLine, choice);
    }
}

void TCalibrationDialog::PairPeak(int peak, int line)
{
    if (auto* choice = qobject_cast<QComboBox*>(Peaks->cellWidget(peak, colLine)))
        choice->setCurrentIndex(line + 1);
}

void TCalibrationDialog::Refit()
{
    const std::vector<TReferenceLine>& lines = LinesOf(Lamp);
    fit_.reset();
    QString text;
    try {
        fit_ = FitCalibration(proposal_.Pairs(lines), Order->currentIndex() + 1, TCalibratedAxis::FirstPixel,
                              TCalibratedAxis::LastPixel);
        const std::vector<double>& a = fit_->Calibration.Coefficients();
        QStringList terms;
        for (size_t k = 0; k < a.size(); ++k)
            terms << QStringLiteral("a%1 = %2").arg(k).arg(Number(a[k], 10));
        text = terms.join(QStringLiteral(",  ")) + QStringLiteral("\nRMS of the residuals: %1 nm from %2 lines")
                                                      .arg(Number(fit_->Rms, 3))
                                                      .arg(fit_->Residuals.size());
    } catch (const std::exception& error) {
        text = QString::fromLatin1(error.what());
    }
    Result->setText(text);
    ApplyButton->setEnabled(fit_.has_value());

    size_t pair = 0;
    for (int row = 0; row < Peaks->rowCount(); ++row) {
        const bool paired = proposal_.Lines[static_cast<size_t>(row)] >= 0;
        const double pixel = proposal_.PeakPixel(size_t(row));
        Peaks->setItem(row, colFitted,
                       new QTableWidgetItem(fit_ ? Number(fit_->Calibration.Wavelength(pixel), 7) : QString()));
        Peaks->setItem(row, colResidual, new QTableWidgetItem(fit_ && paired ? Number(fit_->Residuals[pair], 3)
                                                                             : QString()));
        pair += paired ? 1 : 0;
    }
}

void TCalibrationDialog::Apply()
{
    if (fit_)
        menu_.ApplyCalibration(fit_->Calibration);
}

void TCalibrationDialog::PickOnGraph(int x)
{
    SelectPeakNear(menu_.Axis().PixelAt(graph_->PixelToX(x)));
}

void TCalibrationDialog::SelectPeakNear(double pixel)
{
    int nearest = -1;
    double distance = 5.0;
    for (size_t p = 0; p < proposal_.Peaks.size(); ++p) {
        if (const double d = std::abs(proposal_.PeakPixel(p) - pixel); d <= distance) {
            distance = d;
            nearest = static_cast<int>(p);
        }
    }
    if (nearest >= 0) {
        Peaks->selectRow(nearest);
        if (QWidget* choice = Peaks->cellWidget(nearest, colLine))
            choice->setFocus();
    }
}
