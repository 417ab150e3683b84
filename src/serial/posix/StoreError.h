#pragma once

#include "common/Exception.h"

// A failure of a settings store: a file that cannot be read, parsed or
// written, a name or value the file cannot hold, a value of another type.
class EStoreError : public Exception {
public:
    using Exception::Exception;
};
