#include "common/Application.h"

#include <QMessageBox>

namespace {

QString& applicationTitle()
{
    static QString title;
    return title;
}

TApplication::AdvisedExceptionPresenter& exceptionPresenter()
{
    static TApplication::AdvisedExceptionPresenter presenter;
    return presenter;
}

TApplication::ExceptionAdvice& exceptionAdvice()
{
    static TApplication::ExceptionAdvice advice;
    return advice;
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

QString TApplication::AdviceText(const std::exception& error)
{
    if (!exceptionAdvice())
        return {};
    // Advice only adds to the message: when it fails, the message is shown
    // without it.
    try {
        return exceptionAdvice()(error);
    } catch (const std::exception&) {
        return {};
    }
}

namespace {

void Present(QMessageBox::Icon icon, const QString& message, const QString& advice)
{
    if (exceptionPresenter()) {
        exceptionPresenter()(TApplication::Title(), message, advice);
        return;
    }
    QMessageBox box(icon, TApplication::Title(), message, QMessageBox::Ok, QApplication::activeWindow());
    box.setInformativeText(advice);
    box.exec();
}

} // namespace

void TApplication::ShowException(const std::exception& error)
{
    Present(QMessageBox::Critical, MessageText(error), AdviceText(error));
}

void TApplication::ShowWarning(const QString& message, const QString& advice)
{
    Present(QMessageBox::Warning, message, advice);
}

void TApplication::SetExceptionAdvice(ExceptionAdvice advice)
{
    exceptionAdvice() = std::move(advice);
}

void TApplication::SetExceptionPresenter(ExceptionPresenter presenter)
{
    if (!presenter) {
        exceptionPresenter() = nullptr;
        return;
    }
    exceptionPresenter() = [presenter = std::move(presenter)](const QString& title, const QString& message,
                                                              const QString&) { presenter(title, message); };
}

void TApplication::SetAdvisedExceptionPresenter(AdvisedExceptionPresenter presenter)
{
    exceptionPresenter() = std::move(presenter);
}
