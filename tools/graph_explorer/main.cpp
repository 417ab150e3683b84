// The graph explorer: the spectrum graph with three curves and every
// control a graph can have attached, to try each mouse mode and option by
// hand. It takes no arguments; --help says what it is without a display.

#include "common/Application.h"
#include "graph_explorer/GraphExplorer.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* Usage = "Usage: mirelda-graph-explorer\n"
                              "Shows the graph widget of Mirelda with three curves and every control it can\n"
                              "have attached, to try its mouse modes and options by hand.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "mirelda-graph-explorer: unexpected argument '%s'\n%s", argv[1], Usage);
        return 2;
    }

    TApplication app(argc, argv);
    TApplication::SetTitle(QStringLiteral("Mirelda graph explorer"));
    TGraphExplorer window;
    window.setWindowTitle(TApplication::Title());
    window.show();
    return app.exec();
}
