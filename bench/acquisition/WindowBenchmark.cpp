#include "WindowBenchmark.h"

#include "common/Application.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>

int RunWindowBenchmark(int& argc, char** argv, const char* name,
                       const std::function<int(const QStringList& arguments)>& body)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir configHome;
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    TApplication application(argc, argv);
    TApplication::SetTitle(QStringLiteral("Mirelda ver. 2.10 example"));
    TApplication::SetExceptionPresenter([program = std::string(name)](const QString&, const QString& message) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), message.toLocal8Bit().constData());
        std::exit(1);
    });
    return body(QCoreApplication::arguments().mid(1));
}
