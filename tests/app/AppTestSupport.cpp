#include "AppTestSupport.h"

#include "common/Application.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTest>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>

TTemporaryConfigHome::TTemporaryConfigHome()
{
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
        hadValue = true;
        savedValue = value;
    }
    setenv("XDG_CONFIG_HOME", directory.path().toLocal8Bit().constData(), 1);
}

TTemporaryConfigHome::~TTemporaryConfigHome()
{
    if (hadValue)
        setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TShownErrors::TShownErrors()
{
    TApplication::SetTitle(QStringLiteral("Mirelda ver. 2.10 example"));
    TApplication::SetExceptionPresenter(
        [this](const QString& title, const QString& message) { shown.emplace_back(title, message); });
}

TShownErrors::~TShownErrors()
{
    TApplication::SetExceptionPresenter({});
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    return QTest::qWaitFor(condition, int(limit.count()));
}

std::string ReadController(int controllerFd, size_t count, std::chrono::milliseconds limit)
{
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready = {controllerFd, POLLIN, 0};
        if (poll(&ready, 1, int(left.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t got = read(controllerFd, buffer, sizeof buffer);
        if (got > 0)
            received.append(buffer, size_t(got));
    }
    return received;
}

void ClickButton(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
}
