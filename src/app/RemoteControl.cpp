#include "app/RemoteControl.h"

#include "app/ComMainForm.h"
#include "app/OperatorMenu.h"
#include "app/RemoteInstrument.h"
#include "remote/RemoteServer.h"

#include <QAction>

#include <cstdio>

TRemoteControl::TRemoteControl(TForm1& form) : QObject(&form), form_(form)
{
    Action = new QAction(this);
    Action->setCheckable(true);
    // Runs from an event of its own, like the menu's other entries, so a
    // failure to listen reaches the application's handler outside the menu.
    connect(
        Action, &QAction::triggered, this,
        [this](bool checked) {
            if (checked)
                Start(address_);
            else
                Stop();
        },
        Qt::QueuedConnection);
    UpdateAction();
}

void TRemoteControl::Start(const TRemoteAddress& address)
{
    if (!instrument_) {
        instrument_ = new TRemoteInstrument(form_);
        server_ = new TRemoteServer(*instrument_, this);
        connect(server_, &TRemoteServer::ClientCountChanged, this, &TRemoteControl::UpdateAction);
    }
    try {
        server_->Listen(address);
    } catch (...) {
        UpdateAction();
        throw;
    }
    address_ = address;
    UpdateAction();
}

void TRemoteControl::Stop()
{
    if (server_)
        server_->Close();
    UpdateAction();
}

bool TRemoteControl::Running() const
{
    return server_ && server_->IsListening();
}

TRemoteAddress TRemoteControl::Address() const
{
    return Running() ? server_->Address() : address_;
}

void TRemoteControl::UpdateAction()
{
    Action->setChecked(Running());
    QString text = QStringLiteral("Remote Control on %1").arg(RemoteAddressText(Address()));
    if (Running() && server_->ClientCount() > 0)
        text += QStringLiteral(" (%1 connected)").arg(server_->ClientCount());
    Action->setText(text);
}

bool StartRemoteControl(TForm1& form, const TRemoteAddress& address)
{
    TRemoteControl& remote = form.OperatorMenu().RemoteControl();
    try {
        remote.Start(address);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mirelda: %s\n", error.what());
        return false;
    }
    std::fprintf(stderr, "mirelda: remote control on %s\n", qPrintable(RemoteAddressText(remote.Address())));
    return true;
}
