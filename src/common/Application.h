#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

// The application object. Errors that leave an operator's action stop here:
// notify() catches them and shows them the one way the program reports
// errors, a message box titled with the application title.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static QString Title();
    static void SetTitle(const QString& title);

    // The top-level error handler; also called directly by code that must
    // report an error itself instead of letting it propagate.
    static void ShowException(const std::exception& error);

    // Something the operator must know that is no failure, shown the way
    // errors are, with the warning icon.
    static void ShowWarning(const QString& message, const QString& advice);

    // The message as shown: a full stop is appended when the last
    // character's code is above that of the full stop.
    static QString MessageText(const std::exception& error);

    // What an error means for the operator and what to do about it: the
    // informative text under the message, empty when there is nothing to
    // add. One function at a time; an empty one removes it.
    using ExceptionAdvice = std::function<QString(const std::exception& error)>;
    static void SetExceptionAdvice(ExceptionAdvice advice);
    static QString AdviceText(const std::exception& error);

    // Replace the message box, for headless use; an empty presenter
    // restores the message box. The advised one is also given the advice.
    using ExceptionPresenter = std::function<void(const QString& title, const QString& message)>;
    using AdvisedExceptionPresenter =
        std::function<void(const QString& title, const QString& message, const QString& advice)>;
    static void SetExceptionPresenter(ExceptionPresenter presenter);
    static void SetAdvisedExceptionPresenter(AdvisedExceptionPresenter presenter);
};
