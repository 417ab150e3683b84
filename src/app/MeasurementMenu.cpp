#include "app/MeasurementMenu.h"

#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/TimeSeriesWindow.h"
#include "common/Exception.h"
#include "spectrum/SensorLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QRegularExpression>
#include <QStandardPaths>

TMeasurementMenu::TMeasurementMenu(TForm1& form)
    : QObject(&form), form_(form), measurement_(new TMeasurement(form))
{
    CreateActions();
}

void TMeasurementMenu::CreateActions()
{
    // Each runs from an event of its own, as the window's other actions do.
    const auto action = [this](const QString& text, auto handler) {
        auto* created = new QAction(text, this);
        connect(created, &QAction::triggered, this, handler, Qt::QueuedConnection);
        return created;
    };
    const auto choice = [](QAction* created, QActionGroup* group, bool checked) {
        created->setCheckable(true);
        created->setChecked(checked);
        group->addAction(created);
    };

    SensorActions = new QActionGroup(this);
    for (const TSensorPreset& preset : SensorPresets()) {
        const TFrameLayout layout = preset.Layout;
        choice(action(QString::fromStdString(preset.Name), [this, layout] { measurement_->SetLayout(layout); }),
               SensorActions, layout == TFrameLayout{});
    }
    CustomSensorAction = action(QStringLiteral("Custom..."), [this] { ChooseCustomSensor(); });
    choice(CustomSensorAction, SensorActions, false);
    connect(SensorActions, &QActionGroup::triggered, this, [this] { SyncChecks(); }, Qt::QueuedConnection);

    ModeActions = new QActionGroup(this);
    for (const TProcessingMode mode : ProcessingModes)
        choice(action(QString::fromLatin1(ModeInfo(mode).Name), [this, mode] { measurement_->SetMode(mode); }),
               ModeActions, mode == TProcessingMode::Scope);

    TakeReferenceAction = action(QStringLiteral("Take Reference"), [this] { measurement_->TakeReference(); });
    SmoothingAction = action(QStringLiteral("Smoothing..."), [this] { ChooseSmoothing(); });
    MarkSaturationAction = action(QStringLiteral("Mark Saturation"),
                                  [this] { measurement_->SetMarkSaturation(MarkSaturationAction->isChecked()); });
    MarkSaturationAction->setCheckable(true);
    AutoExposureAction = action(QStringLiteral("Automatic Exposure"),
                                [this] { measurement_->SetAutoExposureOn(AutoExposureAction->isChecked()); });
    AutoExposureAction->setCheckable(true);
    ExposureLimitsAction = action(QStringLiteral("Exposure Limits..."), [this] { ChooseExposureLimits(); });
    HoldAction = action(QStringLiteral("Hold Spectrum"), [this] { measurement_->HoldSpectrum(); });
    OpenOverlayAction = action(QStringLiteral("Open Overlay..."), [this] { OpenOverlay(); });
    ClearOverlaysAction = action(QStringLiteral("Clear Overlays"), [this] { measurement_->ClearOverlays(); });
    SaveProcessedAction = action(QStringLiteral("Save Processed Spectrum..."), [this] {
        if (const QString path = AskForSaveFile(QStringLiteral("Save Processed Spectrum"), QStringLiteral("spectrum"),
                                                QStringLiteral("CSV files (*.csv);;JCAMP-DX files (*.jdx *.dx)"));
            !path.isEmpty())
            measurement_->SaveProcessedSpectrum(path);
    });
    TrackAction = action(QStringLiteral("Track..."), [this] { ChooseBands(); });
    SaveSeriesAction = action(QStringLiteral("Save Time Series..."), [this] {
        if (const QString path = AskForSaveFile(QStringLiteral("Save Time Series"), QStringLiteral("series"),
                                                QStringLiteral("CSV files (*.csv)"));
            !path.isEmpty())
            measurement_->SaveTimeSeries(path);
    });
}

void TMeasurementMenu::AddTo(QMenu* menu, QAction* before) const
{
    SyncChecks();
    auto* sensor = new QMenu(QStringLiteral("Sensor"), menu);
    sensor->addActions(SensorActions->actions());
    auto* measure = new QMenu(QStringLiteral("Measure"), menu);
    measure->addActions(ModeActions->actions());
    measure->addSeparator();
    measure->addActions(
        {TakeReferenceAction, SmoothingAction, MarkSaturationAction, AutoExposureAction, ExposureLimitsAction});
    measure->addSeparator();
    measure->addActions({HoldAction, OpenOverlayAction, ClearOverlaysAction, SaveProcessedAction});
    measure->addSeparator();
    measure->addActions({TrackAction, SaveSeriesAction});
    menu->insertMenu(before, sensor);
    menu->insertMenu(before, measure);
    menu->insertSeparator(before);
}

void TMeasurementMenu::SyncChecks() const
{
    const std::string name = SensorLayoutName(measurement_->Layout());
    for (QAction* choice : SensorActions->actions())
        choice->setChecked(choice->text().toStdString() == name || (choice == CustomSensorAction && name == "Custom"));
    const QString mode = QString::fromLatin1(ModeInfo(measurement_->Mode()).Name);
    for (QAction* choice : ModeActions->actions())
        choice->setChecked(choice->text() == mode);
    MarkSaturationAction->setChecked(measurement_->MarkSaturation());
    AutoExposureAction->setChecked(measurement_->AutoExposureOn());
}

void TMeasurementMenu::ChooseCustomSensor()
{
    bool accepted = false;
    const QString text = QInputDialog::getText(
        &form_, QStringLiteral("Sensor Layout"),
        QStringLiteral("Header fields, first reading field, pixels, fields at most, full scale, output:"),
        QLineEdit::Normal, QString::fromStdString(SensorLayoutText(measurement_->Layout())), &accepted);
    if (accepted)
        measurement_->SetLayout(ParseSensorLayout(text.toStdString()));
    SyncChecks();
}

void TMeasurementMenu::ChooseSmoothing()
{
    bool accepted = false;
    const int width = QInputDialog::getInt(&form_, QStringLiteral("Smoothing"),
                                           QStringLiteral("Boxcar width in pixels (0: off):"),
                                           measurement_->Smoothing(), 0, TSpectrumProcessor::MaxSmoothing, 1, &accepted);
    if (accepted)
        measurement_->SetSmoothing(width);
}

void TMeasurementMenu::ChooseExposureLimits()
{
    TAutoExposure& control = measurement_->AutoExposure();
    bool accepted = false;
    const QString text = QInputDialog::getText(&form_, QStringLiteral("Exposure Limits"),
                                               QStringLiteral("Lowest and highest exposure the window may send:"),
                                               QLineEdit::Normal,
                                               QStringLiteral("%1-%2").arg(control.Minimum()).arg(control.Maximum()),
                                               &accepted);
    if (!accepted)
        return;
    static const QRegularExpression limits(QStringLiteral("^\\s*(\\d{1,9})\\s*-\\s*(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch match = limits.match(text);
    if (!match.hasMatch())
        throw Exception("Exposure limits are two whole numbers such as 1-5000");
    control.SetLimits(match.captured(1).toInt(), match.captured(2).toInt());
}

std::vector<TBand> TMeasurementMenu::ParseBands(const QString& text)
{
    static const QRegularExpression band(QStringLiteral("^(-?\\d+(?:\\.\\d+)?)(?::(\\d+(?:\\.\\d+)?))?$"));
    std::vector<TBand> bands;
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = band.match(word);
        if (!match.hasMatch())
            throw Exception("'" + word.toStdString() + "' is no band: give a centre, or centre:width");
        bands.push_back({match.captured(1).toDouble(), match.captured(2).isEmpty() ? 0.0 : match.captured(2).toDouble()});
    }
    if (bands.empty() || bands.size() > TTimeSeries::MaxBands)
        throw Exception("Track one to four bands");
    return bands;
}

void TMeasurementMenu::ChooseBands()
{
    bool accepted = false;
    const QString text = QInputDialog::getText(&form_, QStringLiteral("Track"),
                                               QStringLiteral("One to four bands, each a centre or centre:width:"),
                                               QLineEdit::Normal, QStringLiteral("243:4"), &accepted);
    if (accepted)
        Track(ParseBands(text));
}

void TMeasurementMenu::Track(const std::vector<TBand>& bands)
{
    measurement_->Track(bands);
    if (!seriesWindow_)
        seriesWindow_ = new TTimeSeriesWindow(*measurement_, &form_);
    seriesWindow_->show();
    seriesWindow_->raise();
}

void TMeasurementMenu::OpenOverlay()
{
    const QString path = QFileDialog::getOpenFileName(&form_, QStringLiteral("Open Overlay"), lastDirectory_,
                                                      QStringLiteral("Spectra (*.csv *.txt *.jdx *.dx);;All files (*)"));
    if (path.isEmpty())
        return;
    lastDirectory_ = QFileInfo(path).absolutePath();
    measurement_->OpenOverlay(path);
}

QString TMeasurementMenu::AskForSaveFile(const QString& title, const QString& stem, const QString& filters)
{
    if (lastDirectory_.isEmpty())
        lastDirectory_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QFileDialog dialog(&form_, title, lastDirectory_ + QStringLiteral("/%1-%2.csv").arg(stem, stamp), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    // The suffix follows the chosen kind of file.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.startsWith(QStringLiteral("JCAMP")) ? QStringLiteral("jdx") : QStringLiteral("csv"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastDirectory_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().first();
}
