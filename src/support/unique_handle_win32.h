// One owner for every kind of Windows handle: closed when it goes out of
// scope, on every path out (an early return, an exception), and moved, never
// copied. Each kind says in a small traits type what an absent handle looks
// like and how it is closed.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : handle_(Traits::Empty()) {}
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
    ~UniqueHandle()
    {
        if (Valid()) Traits::Close(handle_);
    }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Empty())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::Empty(); }
    explicit operator bool() const { return Valid(); }

    // Closes now, for a caller that must know whether the close worked: a
    // file's close can still fail to write its last data (on a network
    // drive). False when there was nothing to close.
    bool Close()
    {
        const Type handle = std::exchange(handle_, Traits::Empty());
        return handle != Traits::Empty() && Traits::Close(handle);
    }

private:
    Type handle_;
};

// Kernel objects, closed by CloseHandle. One traits type per kind, so that
// a process, a thread, a job, a token and a file are not mixed up.
// CreateFile and CreateToolhelp32Snapshot give INVALID_HANDLE_VALUE when
// there is none, the other functions null.
enum class KernelObject { Process, Thread, Job, Token, File, Snapshot };

template <KernelObject Kind>
struct KernelObjectTraits {
    using Type = HANDLE;
    static Type Empty()
    {
        return Kind == KernelObject::File || Kind == KernelObject::Snapshot ? INVALID_HANDLE_VALUE : nullptr;
    }
    static bool Close(Type handle) { return CloseHandle(handle) != FALSE; }
};

using ProcessHandle = UniqueHandle<KernelObjectTraits<KernelObject::Process>>;
using ThreadHandle = UniqueHandle<KernelObjectTraits<KernelObject::Thread>>;
using JobHandle = UniqueHandle<KernelObjectTraits<KernelObject::Job>>;
using TokenHandle = UniqueHandle<KernelObjectTraits<KernelObject::Token>>;
using FileHandle = UniqueHandle<KernelObjectTraits<KernelObject::File>>;
using SnapshotHandle = UniqueHandle<KernelObjectTraits<KernelObject::Snapshot>>;

// WinINet's sessions, connections and requests.
struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return InternetCloseHandle(handle) != FALSE; }
};

using InternetHandle = UniqueHandle<InternetHandleTraits>;

// A search of FindFirstFile, ended by FindClose.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool Close(Type handle) { return FindClose(handle) != FALSE; }
};

using FindHandle = UniqueHandle<FindHandleTraits>;

// An open registry key.
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
};

using RegistryKeyHandle = UniqueHandle<RegistryKeyTraits>;

// A GDI object of the program's own (font, bitmap, brush), deleted when no
// device context has it selected any more.
template <typename Object>
struct GdiObjectTraits {
    using Type = Object;
    static Type Empty() { return nullptr; }
    static bool Close(Type handle) { return DeleteObject(handle) != FALSE; }
};

template <typename Object>
using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;

// Memory the system allocated for the caller with LocalAlloc (a formatted
// message, a SID's text, a security descriptor).
template <typename Pointer>
struct LocalMemoryTraits {
    using Type = Pointer;
    static Type Empty() { return nullptr; }
    static bool Close(Type memory) { return LocalFree(memory) == nullptr; }
};

template <typename Pointer>
using LocalMemory = UniqueHandle<LocalMemoryTraits<Pointer>>;
