#include "remote/RemoteServer.h"

#include "common/Exception.h"
#include "remote/RemoteClient.h"

#include <QTcpServer>
#include <QTcpSocket>

TRemoteServer::TRemoteServer(TInstrument& instrument, QObject* parent)
    : QObject(parent), instrument_(instrument), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &TRemoteServer::Accept);
}

TRemoteServer::~TRemoteServer()
{
    Close();
}

void TRemoteServer::Listen(const TRemoteAddress& address)
{
    Close();
    if (!server_->listen(address.Address, address.Port))
        throw Exception("Cannot listen on " + RemoteAddressText(address).toStdString() + ": "
                        + server_->errorString().toStdString());
}

void TRemoteServer::Close()
{
    server_->close();
    // Later: a command of the client may be running (and letting events in).
    for (TRemoteClient* client : findChildren<TRemoteClient*>(Qt::FindDirectChildrenOnly)) {
        client->disconnect(this);
        client->deleteLater();
    }
    if (clients_ != 0) {
        clients_ = 0;
        emit ClientCountChanged(0);
    }
}

bool TRemoteServer::IsListening() const
{
    return server_->isListening();
}

TRemoteAddress TRemoteServer::Address() const
{
    return {server_->serverAddress(), server_->serverPort()};
}

void TRemoteServer::Accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (clients_ >= MaxClients) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->write(RefusalText);
            socket->disconnectFromHost();
            continue;
        }
        ++clients_;
        auto* client = new TRemoteClient(socket, instrument_, pacer_, this);
        connect(client, &TRemoteClient::Finished, this, &TRemoteServer::Finish);
        emit ClientCountChanged(clients_);
    }
}

void TRemoteServer::Finish(TRemoteClient* client)
{
    // Later: the client may be inside its own processing.
    client->deleteLater();
    client->disconnect(this);
    --clients_;
    emit ClientCountChanged(clients_);
}
