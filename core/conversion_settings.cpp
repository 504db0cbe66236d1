#include "core/conversion_settings.h"

#include <algorithm>

#include "framework/processors.h"

float g_area = 1.0f;
int g_areaSet = 0;
ColumnOrder g_columnOrder = ColumnOrder::gammaTau;
int g_maxThreads = 0;

int ThreadsToUse() {
    const int processors = AvailableProcessors();
    return g_maxThreads > 0 ? std::min(g_maxThreads, processors) : processors;
}
