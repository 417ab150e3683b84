#pragma once

#include "common/Exception.h"

// A measurement that cannot be made as asked: a calibration that does not
// fit, a file that cannot be read, a layout that makes no sense. The message
// says why, in words the operator can act on.
class ESpectrum : public Exception {
public:
    using Exception::Exception;
    ~ESpectrum() override;
};
