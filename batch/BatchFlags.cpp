#include "batch/BatchFlags.h"

BatchFlags &BatchFlags::shared()
{
    static BatchFlags flags;
    return flags;
}
