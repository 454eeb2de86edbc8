// Move-only owners of Win32 handles: each releases its handle exactly once,
// also when an exception passes. No implicit conversion to the raw handle.
#pragma once

#include <windows.h>

#include <utility>

namespace zub {

// The common shape: Traits::Invalid() and Traits::Close(handle).
template <class Traits>
class TUniqueResource {
public:
    using Handle = typename Traits::Handle;

    TUniqueResource() = default;
    explicit TUniqueResource(Handle handle) : handle_(handle) {}
    ~TUniqueResource() { reset(); }
    TUniqueResource(TUniqueResource&& other) noexcept : handle_(other.release()) {}
    TUniqueResource& operator=(TUniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    TUniqueResource(const TUniqueResource&) = delete;
    TUniqueResource& operator=(const TUniqueResource&) = delete;

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::Invalid(); }
    // For functions that return a new handle through an out parameter.
    Handle* put() {
        reset();
        return &handle_;
    }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Handles whose "none" is null, closed by the system function `CloseFunction`.
template <class H, auto CloseFunction>
struct TNullHandleTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseFunction(h); }
};
// Kernel handles whose "none" is INVALID_HANDLE_VALUE.
template <auto CloseFunction>
struct TKernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseFunction(h); }
};

using UniqueHandle = TUniqueResource<TKernelHandleTraits<CloseHandle>>;
using FindHandle = TUniqueResource<TKernelHandleTraits<FindClose>>;
using RegKey = TUniqueResource<TNullHandleTraits<HKEY, RegCloseKey>>;
using ModuleHandle = TUniqueResource<TNullHandleTraits<HMODULE, FreeLibrary>>;
// Memory device contexts from CreateCompatibleDC.
using MemoryDC = TUniqueResource<TNullHandleTraits<HDC, DeleteDC>>;
// What LoadResource gives.
using LoadedResource = TUniqueResource<TNullHandleTraits<HGLOBAL, FreeResource>>;
// Buffers the system allocates for us, e.g. FormatMessageA's.
using LocalMemory = TUniqueResource<TNullHandleTraits<HLOCAL, LocalFree>>;
template <class T>
using GdiObject = TUniqueResource<TNullHandleTraits<T, DeleteObject>>;

// A COM interface pointer that holds one reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = other.release();
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // For functions that return a new reference through an out parameter.
    T** put() {
        reset();
        return &ptr_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    T* release() { return std::exchange(ptr_, nullptr); }
    void reset() {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }

private:
    T* ptr_ = nullptr;
};

}  // namespace zub
