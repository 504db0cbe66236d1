#pragma once

#include <string>
#include <string_view>

#include "framework/native_file.h"

// The system calls behind native_file.h, one implementation per operating system.
namespace native_impl {

NativeHandle Open(const std::string& path, unsigned flags);
NativeHandle CreateTemporary(const std::string& path, std::string_view signature);
bool Close(NativeHandle handle);
long Read(NativeHandle handle, void* buffer, unsigned long count);
bool Write(NativeHandle handle, const void* buffer, unsigned long count);
long long Seek(NativeHandle handle, long long offset, int origin);
long long Length(NativeHandle handle);
bool SetLength(NativeHandle handle, long long length);
bool Flush(NativeHandle handle);
bool CommitTemporary(NativeHandle handle, const std::string& from, const std::string& to);
bool Replace(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
bool IsReadOnly(const std::string& path);

}  // namespace native_impl
