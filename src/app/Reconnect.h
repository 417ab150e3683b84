#pragma once

#include <QObject>
#include <QTimer>

class TAcquisitionStatus;
class TForm1;

// Automatic reconnect, off unless the operator turns it on: when the open
// device vanishes, the port is closed; as soon as a device is there again
// under the port's name it is opened, as "Open Com" does, and the exposure
// is sent again, as "Send Exposure" does. An operator who opens the port
// meanwhile ends the wait.
class TReconnect : public QObject {
    Q_OBJECT
public:
    // How often the name is looked up while waiting, in ms.
    static constexpr int RetryInterval = 500;

    TReconnect(TForm1& form, TAcquisitionStatus& status);

    bool Enabled() const { return enabled_; }
    // Turning it off also ends a wait.
    void SetEnabled(bool enabled);
    bool Waiting() const { return timer_.isActive(); }

    // The open device has vanished.
    void DeviceVanished();

signals:
    void Reconnected();

private:
    void TryReopen();
    void EndWait();

    TForm1& form_;
    TAcquisitionStatus& status_;
    QTimer timer_;
    bool enabled_ = false;
};
