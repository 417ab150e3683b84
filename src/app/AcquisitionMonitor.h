#pragma once

#include "app/AcquisitionStatus.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class TForm1;

// Follows the window's acquisition for the status read-out: it sees the
// port open and close, the exposures sent, every frame plotted and every
// error that ends the port's event handling, and while the port is open it
// asks the device a few times a second whether it is still there. A device
// that vanishes turns the read-out on, since nothing else in the window
// shows it.
class TAcquisitionMonitor : public QObject {
    Q_OBJECT
public:
    // How often the device is asked and the read-out refreshed, in ms.
    static constexpr int TickInterval = 250;

    explicit TAcquisitionMonitor(TForm1& form);

    TAcquisitionStatus& Status() { return status_; }
    std::vector<std::string> Lines() const { return status_.Lines(TAcquisitionStatus::TClock::now()); }
    // When the last frame was plotted, in local time; invalid before the first.
    QDateTime LastFrameTime() const;

    // The port's device vanished since the port was last opened.
    bool DeviceGone() const { return deviceGone_; }

    // The read-out is the graph's hint panel.
    bool ReadOutShown() const { return readOutShown_; }
    void SetReadOutShown(bool shown);

signals:
    void ReadOutShownChanged(bool shown);
    // The open device has vanished, with the system's error number.
    void DeviceVanished(int osError);

private:
    void WatchPort();
    void FrameDecoded(bool lfOnly);
    void Tick();
    // Asks the open device whether it is still there.
    void CheckDevice();
    void Refresh();
    void UpdateTimer(bool portOpen);

    TForm1& form_;
    TAcquisitionStatus status_;
    QTimer timer_;
    std::optional<std::chrono::system_clock::time_point> lastFrameTime_;
    bool readOutShown_ = false;
    bool deviceGone_ = false;
    bool lfOnlyFrames_ = false;
};
