#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

// The first message number free for a program's own use, and the message a
// port's event thread sends for each event.
constexpr unsigned UserMessageBase = 0x0400;
constexpr unsigned ComPortEventMessage = UserMessageBase + 1;

// A hidden receiver living on the user-interface thread. Another thread sends
// it a message and is released as soon as the receiver has taken the message,
// before the handler runs; the sender does not wait for the handler. The
// message reaches the handler as a QEvent through the application's notify(),
// so an error leaving the handler goes to the top-level error handler.
class TPortWindow : public QObject {
    Q_OBJECT
public:
    using MessageHandler = std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

    explicit TPortWindow(MessageHandler handler);
    ~TPortWindow() override;

    // From the receiver's own thread the handler runs right away; from another
    // thread the call returns once the receiver has taken the message (or has
    // been destroyed).
    void SendMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

protected:
    void customEvent(QEvent* event) override;

private:
    void Deliver(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    MessageHandler handler_;
};
