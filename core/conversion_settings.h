#pragma once

// The surface area that multiplies every γ, as typed into the dialog.
extern float g_area;

// 1 once the area has been set; the factor is applied only then.
extern int g_areaSet;

// The area that multiplies every γ: g_area once set, else 1.
inline float AreaApplied() {
    return g_areaSet == 1 ? g_area : 1.0f;
}

// The order of γ and τ in the rows of a file whose column header does not name them: told by the
// file's data where its first rows show which column is τ, else γ first; or as the user set it.
enum class ColumnOrder { byFile, gammaTau, tauGamma };

// byFile unless the command line says otherwise.
extern ColumnOrder g_columnOrder;

// The most threads one conversion or one run may use; 0 leaves it to the machine (its processors).
extern int g_maxThreads;

// The most threads a conversion or a run uses, however many processors there are: beyond it the
// file system's calls and the one writer of a file only contend, and every thread of a large file
// holds chunks in memory, which a 32-bit program has little of.
inline constexpr int kMaxThreads = 8;

// How many threads a conversion or a run may use: g_maxThreads, the processors this process may
// run on, kMaxThreads and the calling thread's ThreadBudget, whichever is fewest; at least 1.
int ThreadsToUse();

// Limits ThreadsToUse() on the thread that makes it, while it lives: a run converting several
// files at once gives each of its threads a share of the processors.
class ThreadBudget {
  public:
    explicit ThreadBudget(int threads);
    ~ThreadBudget();
    ThreadBudget(const ThreadBudget&) = delete;
    ThreadBudget& operator=(const ThreadBudget&) = delete;

  private:
    int m_before;
};
