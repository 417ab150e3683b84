#pragma once

#include "app/ExportFiles.h"

#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QPoint;
class QWidget;
class TAcquisitionMonitor;
class TForm1;
class TReconnect;
class TRemoteControl;

// The operator's tools around the window: a context menu on the window's
// background and on the receive log (the graph keeps its right button for
// panning and zooming), with desktop shortcuts:
//
//   Save Spectrum...        Ctrl+S         CSV or JCAMP-DX of the spectrum shown
//   Save Picture...         Ctrl+Shift+S   PNG of the graph
//   Copy Picture            Ctrl+C         the graph to the clipboard, while the graph has focus
//   Show Status             F2             the status read-out in the graph's hint panel
//   Average                                1 (off), 2, 4, ... 64 frames
//   Take Dark Frame, Clear Dark Frame
//   Reconnect Automatically
//   Remote Control on 127.0.0.1:5025
//   Help                    F1
//   Quit                    Ctrl+Q
//
// None of it changes the window until the operator chooses it. It also
// gives the application the advice for the port's errors.
class TOperatorMenu : public QObject {
    Q_OBJECT
public:
    explicit TOperatorMenu(TForm1& form);
    ~TOperatorMenu() override;

    TAcquisitionMonitor& Monitor() const { return *monitor_; }
    TReconnect& Reconnect() const { return *reconnect_; }
    TRemoteControl& RemoteControl() const { return *remote_; }

    // The spectrum shown and what it was acquired with; raises an Exception
    // when no frame has been plotted yet.
    TSpectrumRecord CurrentSpectrum() const;
    void SaveSpectrumTo(const QString& path) const;
    void SavePictureTo(const QString& path) const;
    void CopyPicture() const;
    // The current (averaged) frame becomes the dark frame; raises an
    // Exception before the first frame.
    void TakeDarkFrame();

    // Every action of the menu, in menu order, the averaging depths as one
    // submenu.
    QMenu* CreateMenu(QWidget* parent) const;

    QAction* SaveSpectrumAction;
    QAction* SavePictureAction;
    QAction* CopyPictureAction;
    QAction* ShowStatusAction;
    QActionGroup* AverageActions;
    QAction* TakeDarkAction;
    QAction* ClearDarkAction;
    QAction* ReconnectAction;
    QAction* HelpAction;
    QAction* QuitAction;

private:
    void CreateActions();
    void SaveSpectrum();
    void SavePicture();
    void ShowMenu(QWidget* widget, const QPoint& position);
    QString AskForFile(const QString& title, const QString& filter, const QString& suffix);
    void ShowHelp();

    TForm1& form_;
    TAcquisitionMonitor* monitor_;
    TReconnect* reconnect_;
    TRemoteControl* remote_;
    QString lastDirectory_;
};
