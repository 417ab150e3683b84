#pragma once

#include <QStringList>

#include <functional>

// Runs a benchmark of the main window: offscreen unless a platform is chosen
// (QT_QPA_PLATFORM=xcb under Xvfb), with a private port map; an error the
// window would show is printed and ends the program. The body is given the
// program's arguments without its name and returns the exit status.
int RunWindowBenchmark(int& argc, char** argv, const char* name,
                       const std::function<int(const QStringList& arguments)>& body);
