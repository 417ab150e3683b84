#include "remote/WorkPacer.h"

#include <algorithm>
#include <cmath>

TWorkPacer::TWorkPacer()
{
    clock_.start();
}

int TWorkPacer::DelayMs()
{
    const qint64 now = clock_.nsecsElapsed();
    creditNs_ = std::min(double(BurstNs), creditNs_ + double(now - lastNs_) * Share);
    lastNs_ = now;
    if (creditNs_ >= 0)
        return 0;
    return static_cast<int>(std::ceil(-creditNs_ / Share / 1e6));
}

void TWorkPacer::Spent(qint64 nanoseconds)
{
    creditNs_ = std::max(-double(MaxDebtNs), creditNs_ - double(nanoseconds + PassOverheadNs));
}
