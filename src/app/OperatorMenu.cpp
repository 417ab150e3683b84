#include "app/OperatorMenu.h"

#include "app/AcquisitionMonitor.h"
#include "app/CalibrationMenu.h"
#include "app/ComMainForm.h"
#include "app/Measurement.h"
#include "app/MeasurementMenu.h"
#include "app/OpenErrorAdvice.h"
#include "app/SettingsErrorAdvice.h"
#include "app/Reconnect.h"
#include "app/RemoteControl.h"
#include "common/Application.h"
#include "common/Exception.h"
#include "graph/Graph.h"
#include "serial/CPort.h"
#include "serial/ComTexts.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const char* const HelpText =
    "Open Com opens the serial port; Send Exposure sends the exposure value, and from then on every frame "
    "the device sends is plotted and the next one asked for.\n\n"
    "Right-click the window's background or the receive log for the operator's menu:\n"
    "Ctrl+S: Save Spectrum (CSV or JCAMP-DX)\n"
    "Ctrl+Shift+S: Save Picture (PNG)\n"
    "Ctrl+C: Copy Picture, while the graph has focus\n"
    "F2: Show Status (frames, rate, last frame, and why acquisition stopped)\n"
    "Average, Take Dark Frame, Clear Dark Frame, Reconnect Automatically\n"
    "Remote Control: scripts drive the window with SCPI commands over TCP\n"
    "F1: Help\n"
    "Ctrl+Q: Quit\n\n"
    "On the graph a left drag pans the spectrum, the right button zooms, and a double click returns to the "
    "whole spectrum; Reset Axis does too.";

std::string RateText(const TCustomComPort& port)
{
    if (port.BaudRate() == brCustom)
        return std::to_string(port.CustomBaudRate());
    return std::to_string(BaudRateValue(port.BaudRate()));
}

} // namespace

TOperatorMenu::TOperatorMenu(TForm1& form)
    : QObject(&form), form_(form), monitor_(new TAcquisitionMonitor(form)),
      reconnect_(new TReconnect(form, monitor_->Status())), remote_(new TRemoteControl(form))
{
    CreateActions();
    connect(monitor_, &TAcquisitionMonitor::DeviceVanished, reconnect_, &TReconnect::DeviceVanished);

    form_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&form_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowMenu(&form_, position); });
    form_.Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(form_.Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowMenu(form_.Memo, position); });

    TApplication::SetExceptionAdvice([this](const std::exception& error) {
        // The window closes its port on the way out, before this goes.
        if (const std::string advice = SettingsErrorAdvice(error); !advice.empty())
            return QString::fromLatin1(advice);
        return form_.ComPort ? QString::fromLatin1(OpenErrorAdvice(error, form_.ComPort->Port())) : QString();
    });
}

TOperatorMenu::~TOperatorMenu()
{
    TApplication::SetExceptionAdvice({});
}

void TOperatorMenu::CreateActions()
{
    // Each action runs from an event of its own, like the window's clicks,
    // so an error reaches the application's handler outside the menu's
    // mouse handling.
    const auto action = [this](QWidget* owner, const QString& text, const QKeySequence& keys, auto handler) {
        auto* created = new QAction(text, owner);
        created->setShortcut(keys);
        owner->addAction(created);
        connect(created, &QAction::triggered, this, handler, Qt::QueuedConnection);
        return created;
    };
    SaveSpectrumAction = action(&form_, QStringLiteral("Save Spectrum..."), QKeySequence(Qt::CTRL | Qt::Key_S),
                                [this] { SaveSpectrum(); });
    SavePictureAction = action(&form_, QStringLiteral("Save Picture..."),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { SavePicture(); });
    // Ctrl+C copies text everywhere else; the picture only from the graph.
    form_.XYGraph1->setFocusPolicy(Qt::ClickFocus);
    CopyPictureAction = action(form_.XYGraph1, QStringLiteral("Copy Picture"), QKeySequence(Qt::CTRL | Qt::Key_C),
                               [this] { CopyPicture(); });
    CopyPictureAction->setShortcutContext(Qt::WidgetShortcut);

    ShowStatusAction = action(&form_, QStringLiteral("Show Status"), QKeySequence(Qt::Key_F2),
                              [this] { monitor_->SetReadOutShown(ShowStatusAction->isChecked()); });
    ShowStatusAction->setCheckable(true);
    connect(monitor_, &TAcquisitionMonitor::ReadOutShownChanged, ShowStatusAction, &QAction::setChecked);

    AverageActions = new QActionGroup(this);
    for (const int depth : TFrameAveraging::Depths) {
        QAction* choice =
            action(&form_, depth == 1 ? QStringLiteral("Off") : QStringLiteral("%1 Frames").arg(depth), {},
                   [this, depth] { form_.Averaging().SetDepth(depth); });
        choice->setCheckable(true);
        choice->setChecked(depth == form_.Averaging().Depth());
        AverageActions->addAction(choice);
    }
    TakeDarkAction = action(&form_, QStringLiteral("Take Dark Frame"), {}, [this] { TakeDarkFrame(); });
    ClearDarkAction =
        action(&form_, QStringLiteral("Clear Dark Frame"), {}, [this] { form_.Averaging().ClearDark(); });
    // Turned on after the device vanished, it starts waiting at once.
    ReconnectAction = action(&form_, QStringLiteral("Reconnect Automatically"), {}, [this] {
        reconnect_->SetEnabled(ReconnectAction->isChecked());
        if (ReconnectAction->isChecked() && monitor_->DeviceGone())
            reconnect_->DeviceVanished();
    });
    ReconnectAction->setCheckable(true);

    HelpAction = action(&form_, QStringLiteral("Help"), QKeySequence(Qt::Key_F1), [this] { ShowHelp(); });
    // The window may sit in a scrolling frame on a small screen.
    QuitAction = action(&form_, QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                        [this] { form_.window()->close(); });
}

QMenu* TOperatorMenu::CreateMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    menu->addActions({SaveSpectrumAction, SavePictureAction, CopyPictureAction});
    menu->addSeparator();
    menu->addActions(form_.CalibrationMenu().Actions());
    menu->addSeparator();
    menu->addAction(ShowStatusAction);
    menu->addMenu(QStringLiteral("Average"))->addActions(AverageActions->actions());
    menu->addActions({TakeDarkAction, ClearDarkAction, ReconnectAction, remote_->Action});
    menu->addSeparator();
    menu->addActions({HelpAction, QuitAction});
    return menu;
}

void TOperatorMenu::ShowMenu(QWidget* widget, const QPoint& position)
{
    // The graph's right button pans and zooms; its presses reach the window
    // as context-menu requests too.
    QWidget* target = widget->childAt(position);
    if (target && (target == form_.XYGraph1 || form_.XYGraph1->isAncestorOf(target)))
        return;
    QMenu* menu = CreateMenu(widget);
    form_.MeasurementMenu().AddTo(menu, HelpAction);
    if (widget == form_.Memo) {
        QMenu* standard = form_.Memo->createStandardContextMenu(position);
        standard->addSeparator();
        standard->addActions(menu->actions());
        menu->deleteLater();
        menu = standard;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(widget->mapToGlobal(position));
}

TSpectrumRecord TOperatorMenu::CurrentSpectrum() const
{
    const TCurve* curve = form_.XYGraph1->Curve(0);
    if (!curve)
        throw Exception("There is no spectrum to save yet");
    if (form_.MeasurementMenu().Measurement().Mode() != TProcessingMode::Scope)
        throw Exception("This mode's curve is saved with Measure, Save Processed Spectrum");
    const TFrameDecoder& decoder = form_.Decoder();
    TSpectrumRecord record;
    record.Time = monitor_->LastFrameTime();
    record.Port = form_.ComPort->Port();
    record.BaudRate = RateText(*form_.ComPort);
    record.Exposure = form_.Edit_Data->text().toLatin1().toStdString();
    record.Offset = decoder.OffsetValue();
    record.Gain = decoder.GainValue();
    record.FramesAveraged = form_.Averaging().FramesAveraged();
    record.DarkFrame = form_.Averaging().HasDark();
    record.Calibration = form_.CalibrationMenu().Axis().Calibration();
    // Point i is pixel 6 + i; calibrated, its x is a wavelength.
    int pixel = TFrameDecoder::FirstPlottedField;
    for (const TCurvePoint& point : curve->Points) {
        record.Points.push_back({pixel, decoder.FieldValue(pixel), static_cast<std::int32_t>(point.Y)});
        ++pixel;
    }
    return record;
}

// What is saved is taken before the file is asked for: frames go on
// arriving while the dialog is open.
void TOperatorMenu::SaveSpectrum()
{
    const TSpectrumRecord record = CurrentSpectrum();
    const QString path = AskForFile(QStringLiteral("Save Spectrum"),
                                    QStringLiteral("CSV files (*.csv);;JCAMP-DX files (*.jdx *.dx)"),
                                    QStringLiteral("csv"));
    if (!path.isEmpty())
        SaveSpectrumFile(path, record);
}

void TOperatorMenu::SavePicture()
{
    const QImage picture = form_.XYGraph1->Surface();
    const QString path =
        AskForFile(QStringLiteral("Save Picture"), QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"));
    if (!path.isEmpty())
        SavePicturePng(path, picture);
}

void TOperatorMenu::SaveSpectrumTo(const QString& path) const
{
    SaveSpectrumFile(path, CurrentSpectrum());
}

void TOperatorMenu::SavePictureTo(const QString& path) const
{
    SavePicturePng(path, form_.XYGraph1->Surface());
}

void TOperatorMenu::CopyPicture() const
{
    QGuiApplication::clipboard()->setImage(form_.XYGraph1->Surface());
}

void TOperatorMenu::TakeDarkFrame()
{
    if (!form_.Averaging().HasFrame())
        throw Exception("There is no frame to take as the dark frame yet");
    form_.Averaging().TakeDark();
}

QString TOperatorMenu::AskForFile(const QString& title, const QString& filter, const QString& suffix)
{
    if (lastDirectory_.isEmpty())
        lastDirectory_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString name = QStringLiteral("spectrum-%1.%2").arg(stamp, suffix);
    QFileDialog dialog(&form_, title, lastDirectory_ + u'/' + name, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    // A name typed without a suffix gets the one of the type chosen.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(chosen);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastDirectory_ = dialog.directory().absolutePath();
    return dialog.selectedFiles().first();
}

void TOperatorMenu::ShowHelp()
{
    QMessageBox::information(&form_, TApplication::Title(), QString::fromLatin1(HelpText));
}
