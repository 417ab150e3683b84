#pragma once

#include "remote/RemoteAddress.h"

#include <QObject>

class QAction;
class TForm1;
class TRemoteInstrument;
class TRemoteServer;

// Remote control of the window, off until asked for, by the --remote
// option or the operator's "Remote Control" menu entry: a SCPI server on
// the loopback address unless another address is named.
class TRemoteControl : public QObject {
    Q_OBJECT
public:
    explicit TRemoteControl(TForm1& form);

    // Starts listening, or listens elsewhere; raises an Exception naming
    // the address and the reason when it cannot.
    void Start(const TRemoteAddress& address);
    void Stop();
    bool Running() const;
    // Where it listens, the port chosen when 0 was asked for.
    TRemoteAddress Address() const;
    TRemoteServer* Server() const { return server_; }

    // The menu entry: checked while the server runs; it names the address.
    QAction* Action;

private:
    void UpdateAction();

    TForm1& form_;
    // Made at the first start: until then the window runs as it always has.
    TRemoteInstrument* instrument_ = nullptr;
    TRemoteServer* server_ = nullptr;
    TRemoteAddress address_;
};

// Starts remote control for the command line: says where it listens, or
// why it cannot, on standard error. Whether it started.
bool StartRemoteControl(TForm1& form, const TRemoteAddress& address);
