#pragma once
// Owners of system handles: each releases its handle when it goes out of scope.

#include <cstdint>
#include <vector>

#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

// One owner for every kind of handle; Traits says what "none" is and how to release.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    explicit UniqueHandle(Handle handle = Traits::None()) : handle_(handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = Traits::None(); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = Traits::None();
        }
        return *this;
    }

    bool Valid() const { return handle_ != Traits::None(); }
    explicit operator bool() const { return Valid(); }
    Handle Get() const { return handle_; }
    // For functions that hand out a handle through a pointer.
    Handle* Receive() {
        Close();
        return &handle_;
    }
    void Close() {
        if (Valid()) Traits::Release(handle_);
        handle_ = Traits::None();
    }

private:
    Handle handle_;
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { CloseHandle(handle); }
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { FindClose(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Release(Handle handle) { RegCloseKey(handle); }
};

using FileHandle = UniqueHandle<FileTraits>;
using FindHandle = UniqueHandle<FindTraits>;
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// Fills `into` (already sized) from the file's current position. On a failure it
// keeps what was read and throws Failure("Stream read error").
void ReadExactly(HANDLE file, std::vector<uint8_t>& into);

// A COM interface pointer, released at the end of its scope.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (pointer_) pointer_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    void** ReceiveVoid() { return reinterpret_cast<void**>(&pointer_); }
    Interface** Receive() { return &pointer_; }
    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace velmoran::platform::win32
