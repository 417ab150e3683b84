#include "serial/PortWindow.h"

#include "serial/Synchronizer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace {

class PortMessageEvent : public QEvent {
public:
    PortMessageEvent(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(Type()), message(message), wParam(wParam), lParam(lParam)
    {
    }

    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    const unsigned message;
    const std::uintptr_t wParam;
    const std::intptr_t lParam;
};

} // namespace

TPortWindow::TPortWindow(MessageHandler handler) : handler_(std::move(handler))
{
    TSynchronizer::Prepare();
}

TPortWindow::~TPortWindow()
{
    TSynchronizer::DiscardSent(this);
}

void TPortWindow::SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (QThread::currentThread() == thread()) {
        Deliver(message, wParam, lParam);
        return;
    }
    TSynchronizer::Send([this, message, wParam, lParam] { Deliver(message, wParam, lParam); }, this);
}

void TPortWindow::Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    PortMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(this, &event);
}

void TPortWindow::customEvent(QEvent* event)
{
    if (event->type() != PortMessageEvent::Type()) {
        QObject::customEvent(event);
        return;
    }
    const auto* sent = static_cast<PortMessageEvent*>(event);
    handler_(sent->message, sent->wParam, sent->lParam);
}
