#pragma once

#include <functional>
#include <string>

// Holds interruptions back for good and hands every armed cleanup's temporary path (empty for a
// notice) and message to `cleanUp`, in the order they were armed. For the platform's interrupt
// handler, which then ends the process.
void CleanUpForInterruption(
    const std::function<void(const std::string& path, const std::string& message)>& cleanUp);
