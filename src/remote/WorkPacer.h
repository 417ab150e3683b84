#pragma once

#include <QElapsedTimer>

// Keeps the remote clients' work to a share of the user-interface thread,
// which also runs acquisition: work earns credit at Share of the time that
// passes, up to Burst, and each pass of work spends what it took. A client
// asking now and then is served at once; one that polls as fast as it can
// is made to wait, so acquisition keeps most of the thread. A long single
// command (opening the port) is charged at most MaxDebtNs, so the wait
// after it stays short.
class TWorkPacer {
public:
    static constexpr double Share = 0.05;
    static constexpr qint64 BurstNs = 20'000'000;
    static constexpr qint64 MaxDebtNs = 2'000'000;
    // The socket work around a pass, which the pass's own clock does not
    // see, charged with it.
    static constexpr qint64 PassOverheadNs = 30'000;

    TWorkPacer();

    // How long to wait before the next pass, in ms; 0: go ahead.
    int DelayMs();
    // A pass took this long by its own clock.
    void Spent(qint64 nanoseconds);

private:
    QElapsedTimer clock_;
    qint64 lastNs_ = 0;
    double creditNs_ = BurstNs;
};
