#include "engine/FileInfoEvents.h"

FileInfoEvents &FileInfoEvents::shared()
{
    static FileInfoEvents events;
    return events;
}
