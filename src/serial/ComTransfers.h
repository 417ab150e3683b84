#pragma once

#include "serial/ComDevice.h"
#include "serial/ComTypes.h"

#include <memory>

// One transfer in progress: the overlapped operation with its completion
// event, and the kind that selects the error a failed completion reports.
// A record may carry several transfers one after another, one at a time.
//
// Started tells whether the last start reached the device. A start that was
// refused or failed has reported its failure already; waiting after it, as
// on a record never used, gives 0 bytes and no error.
struct TTransferRecord {
    TOverlapped Overlapped;
    TTransferKind Kind = tkWrite;
    bool Started = false;
};

std::unique_ptr<TTransferRecord> NewTransfer();
// Frees the record and clears the reference. A transfer still running on
// it is withdrawn from the device first.
void FreeTransfer(std::unique_ptr<TTransferRecord>& record);
