#pragma once

#include "engine/DateTime.h"
#include "support/PinnedDates.h"
#include "support/QtPrinters.h"

#include <memory>

// Batch tests compute dates in a fixed zone and locale.
class BatchTest : public PinnedDates
{
public:
    // A date rule set up by the caller.
    template<class Setup>
    static std::shared_ptr<DateTime> rule(Setup setup)
    {
        auto r = std::make_shared<DateTime>();
        setup(*r);
        return r;
    }
};
