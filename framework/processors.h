#pragma once

// How many processors this process may run on (its affinity), at least 1.
int AvailableProcessors();
