#pragma once

#include "remote/ScpiInput.h"
#include "remote/ScpiInterpreter.h"

#include <QObject>

class QTcpSocket;
class TInstrument;
class TWorkPacer;

// One connected client: its command lines run on the instrument as they
// arrive, the answers go back in order. The work is bounded so a client
// cannot hold up the program or grow its memory: a pass runs a limited
// number of lines and lets other events in before the next, reading stops
// while LimitUnsent bytes of answers wait for the client to take them
// (TCP then holds the client back), the socket buffers at most
// ReadChunk * 4 received bytes, and the pacer shared by all clients keeps
// their work to a share of the thread. A client that goes away mid-answer
// just ends the session.
class TRemoteClient : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 ReadChunk = 16 * 1024;
    static constexpr qint64 LimitUnsent = 1024 * 1024;
    static constexpr int LinesPerPass = 64;

    // Takes the socket over.
    TRemoteClient(QTcpSocket* socket, TInstrument& instrument, TWorkPacer& pacer, QObject* parent);

signals:
    void Finished(TRemoteClient* client);

private:
    void Process();
    void ScheduleProcess(int delayMs = 0);
    void ProcessLines();

    QTcpSocket* socket_;
    TScpiInput input_;
    TScpiInterpreter interpreter_;
    TWorkPacer& pacer_;
    bool processing_ = false;
    bool scheduled_ = false;
};
