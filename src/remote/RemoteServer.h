#pragma once

#include "remote/RemoteAddress.h"
#include "remote/WorkPacer.h"

#include <QObject>

class QTcpServer;
class TInstrument;
class TRemoteClient;

// The remote-control server: SCPI command lines over TCP, one session per
// client, at most MaxClients at once; a client beyond them is sent the
// RefusalText line and disconnected. Runs on the thread that creates it,
// where the instrument's controls live.
class TRemoteServer : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxClients = 4;
    static constexpr const char* RefusalText = "Mirelda: too many remote clients (at most 4); try again later\n";

    TRemoteServer(TInstrument& instrument, QObject* parent = nullptr);
    ~TRemoteServer() override;

    // Raises an Exception naming the address and the system's reason.
    void Listen(const TRemoteAddress& address);
    // Stops listening and ends every session.
    void Close();
    bool IsListening() const;
    // Where it listens, with the port chosen when 0 was asked for.
    TRemoteAddress Address() const;
    int ClientCount() const { return clients_; }

signals:
    void ClientCountChanged(int count);

private:
    void Accept();
    void Finish(TRemoteClient* client);

    TInstrument& instrument_;
    QTcpServer* server_;
    TWorkPacer pacer_;
    int clients_ = 0;
};
