#include "core/conversion_settings.h"

#include <algorithm>

#include "framework/processors.h"

float g_area = 1.0f;
int g_areaSet = 0;
ColumnOrder g_columnOrder = ColumnOrder::byFile;
int g_maxThreads = 0;

namespace {

// The calling thread's budget; 0 when it has none.
thread_local int t_threadBudget = 0;

}  // namespace

int ThreadsToUse() {
    int threads = std::min(AvailableProcessors(), kMaxThreads);
    if (g_maxThreads > 0) {
        threads = std::min(threads, g_maxThreads);
    }
    if (t_threadBudget > 0) {
        threads = std::min(threads, t_threadBudget);
    }
    return std::max(threads, 1);
}

ThreadBudget::ThreadBudget(int threads) : m_before(t_threadBudget) {
    t_threadBudget = std::max(threads, 1);
}

ThreadBudget::~ThreadBudget() {
    t_threadBudget = m_before;
}
