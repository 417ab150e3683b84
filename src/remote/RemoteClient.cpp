#include "remote/RemoteClient.h"

#include "remote/WorkPacer.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

TRemoteClient::TRemoteClient(QTcpSocket* socket, TInstrument& instrument, TWorkPacer& pacer, QObject* parent)
    : QObject(parent), socket_(socket), interpreter_(instrument), pacer_(pacer)
{
    socket_->setParent(this);
    socket_->setReadBufferSize(ReadChunk * 4);
    connect(socket_, &QTcpSocket::readyRead, this, &TRemoteClient::Process);
    connect(socket_, &QTcpSocket::bytesWritten, this, &TRemoteClient::Process);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { emit Finished(this); });
    Process();
}

void TRemoteClient::ScheduleProcess(int delayMs)
{
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this] {
        scheduled_ = false;
        Process();
    });
}

void TRemoteClient::Process()
{
    // A command may let events run (closing the port waits for its
    // thread); this client's next lines wait until it is done.
    if (processing_) {
        ScheduleProcess();
        return;
    }
    if (const int delay = pacer_.DelayMs()) {
        ScheduleProcess(delay);
        return;
    }
    processing_ = true;
    QElapsedTimer pass;
    pass.start();
    ProcessLines();
    pacer_.Spent(pass.nsecsElapsed());
    processing_ = false;
}

void TRemoteClient::ProcessLines()
{
    int lines = 0;
    while (socket_->state() == QAbstractSocket::ConnectedState && socket_->bytesToWrite() < LimitUnsent) {
        if (lines == LinesPerPass) {
            ScheduleProcess();
            break;
        }
        if (std::optional<TScpiInput::TLine> line = input_.Next()) {
            ++lines;
            if (line->TooLong) {
                interpreter_.LineTooLong();
                continue;
            }
            const std::string answer = interpreter_.Execute(line->Text);
            if (!answer.empty())
                socket_->write(answer.data(), qint64(answer.size()));
            continue;
        }
        if (socket_->bytesAvailable() == 0)
            break;
        const QByteArray bytes = socket_->read(ReadChunk);
        input_.Feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }
    // Hand the answers to the kernel now: a client that sends its last line
    // and shuts its side (echo '*IDN?' | nc) makes the socket close at the
    // next read, and whatever is still buffered here would be lost.
    socket_->flush();
}
