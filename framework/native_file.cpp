#include "framework/native_file.h"

#include "framework/native_file_impl.h"
#include "framework/os_error.h"

namespace {

NativeFaultPlan g_faultPlan;

// Takes `count` bytes from a budget; false once the budget cannot cover them.
bool SpendBudget(long long& budget, unsigned long count) {
    if (budget < 0) {
        return true;
    }
    if (static_cast<long long>(count) > budget) {
        budget = 0;
        return false;
    }
    budget -= static_cast<long long>(count);
    return true;
}

}  // namespace

NativeHandle NativeOpen(const std::string& path, unsigned flags) {
    return native_impl::Open(path, flags);
}

NativeHandle NativeCreateTemporary(const std::string& path, std::string_view signature) {
    return native_impl::CreateTemporary(path, signature);
}

bool NativeClose(NativeHandle handle) {
    const bool closed = native_impl::Close(handle);
    if (closed && g_faultPlan.failClose) {
        SetLastOsError(g_faultPlan.closeError);
        return false;
    }
    return closed;
}

long NativeRead(NativeHandle handle, void* buffer, unsigned long count) {
    if (g_faultPlan.beforeRead) {
        g_faultPlan.beforeRead();
    }
    if (g_faultPlan.readBudget >= 0 && count > 0) {
        if (g_faultPlan.readBudget == 0) {
            SetLastOsError(g_faultPlan.readError);
            return -1;
        }
        if (static_cast<long long>(count) > g_faultPlan.readBudget) {
            count = static_cast<unsigned long>(g_faultPlan.readBudget);
        }
    }
    const long got = native_impl::Read(handle, buffer, count);
    if (got > 0 && g_faultPlan.readBudget >= 0) {
        g_faultPlan.readBudget -= got;
    }
    return got;
}

bool NativeWrite(NativeHandle handle, const void* buffer, unsigned long count) {
    if (!SpendBudget(g_faultPlan.writeBudget, count)) {
        SetLastOsError(g_faultPlan.writeError);
        return false;
    }
    return native_impl::Write(handle, buffer, count);
}

long long NativeSeek(NativeHandle handle, long long offset, int origin) {
    return native_impl::Seek(handle, offset, origin);
}

long long NativeLength(NativeHandle handle) {
    return native_impl::Length(handle);
}

bool NativeSetLength(NativeHandle handle, long long length) {
    return native_impl::SetLength(handle, length);
}

bool NativeFlush(NativeHandle handle) {
    return native_impl::Flush(handle);
}

bool NativeCommitTemporary(NativeHandle handle, const std::string& from, const std::string& to) {
    return native_impl::CommitTemporary(handle, from, to);
}

bool NativeReplace(const std::string& from, const std::string& to) {
    return native_impl::Replace(from, to);
}

bool NativeRemove(const std::string& path) {
    return native_impl::Remove(path);
}

bool NativeIsReadOnly(const std::string& path) {
    return native_impl::IsReadOnly(path);
}

void SetNativeFaultPlan(const NativeFaultPlan& plan) {
    g_faultPlan = plan;
}
