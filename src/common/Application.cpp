#include "common/Application.h"

#include <QMessageBox>

namespace {

QString& applicationTitle()
{
    static QString title;
    return title;
}

TApplication::ExceptionPresenter& exceptionPresenter()
{
    static TApplication::ExceptionPresenter presenter;
    return presenter;
}

class UnknownException : public std::exception {
public:
    const char* what() const noexcept override { return "Unknown exception"; }
};

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(UnknownException());
    }
    return false;
}

QString TApplication::Title()
{
    return applicationTitle();
}

void TApplication::SetTitle(const QString& title)
{
    applicationTitle() = title;
}

QString TApplication::MessageText(const std::exception& error)
{
    // Messages are 8-bit code page text; the last character is compared by
    // its code, so "...(Error: 2)" stays as it is and "...failed" gets a stop.
    QString text = QString::fromLatin1(error.what());
    if (!text.isEmpty() && text.back().unicode() > u'.')
        text += u'.';
    return text;
}

void TApplication::ShowException(const std::exception& error)
{
    const QString message = MessageText(error);
    if (exceptionPresenter()) {
        exceptionPresenter()(Title(), message);
        return;
    }
    QMessageBox::critical(activeWindow(), Title(), message);
}

void TApplication::SetExceptionPresenter(ExceptionPresenter presenter)
{
    exceptionPresenter() = std::move(presenter);
}
