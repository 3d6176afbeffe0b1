// One small owner per kind of handle: whatever path a function leaves by, the
// handle it holds is released. Nothing more than that.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>

template <typename Handle, typename Traits>
class ScopedHandle {
 public:
  explicit ScopedHandle(Handle handle = Traits::Empty()) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle get() const { return handle_; }
  Handle* receive() {
    reset();
    return &handle_;
  }
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  Handle release() {
    Handle handle = handle_;
    handle_ = Traits::Empty();
    return handle;
  }
  void reset(Handle handle = Traits::Empty()) {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

struct RegKeyTraits {
  static HKEY Empty() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
struct LibraryTraits {
  static HMODULE Empty() { return nullptr; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};
struct FindHandleTraits {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};
struct KernelHandleTraits {
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct LocalMemoryTraits {
  static HLOCAL Empty() { return nullptr; }
  static void Close(HLOCAL memory) { LocalFree(memory); }
};
struct MallocTraits {
  static void* Empty() { return nullptr; }
  static void Close(void* block) { std::free(block); }
};
struct FileStreamTraits {
  static FILE* Empty() { return nullptr; }
  static void Close(FILE* stream) { std::fclose(stream); }
};
struct IconTraits {
  static HICON Empty() { return nullptr; }
  static void Close(HICON icon) { DestroyIcon(icon); }
};
struct CursorTraits {
  static HCURSOR Empty() { return nullptr; }
  static void Close(HCURSOR cursor) { DestroyCursor(cursor); }
};
template <typename Object>
struct GdiObjectTraits {
  static Object Empty() { return nullptr; }
  static void Close(Object object) { DeleteObject(object); }
};

using ScopedRegKey = ScopedHandle<HKEY, RegKeyTraits>;
using ScopedLibrary = ScopedHandle<HMODULE, LibraryTraits>;
using ScopedFindHandle = ScopedHandle<HANDLE, FindHandleTraits>;
using ScopedKernelHandle = ScopedHandle<HANDLE, KernelHandleTraits>;
using ScopedLocalMemory = ScopedHandle<HLOCAL, LocalMemoryTraits>;
using ScopedMalloc = ScopedHandle<void*, MallocTraits>;
using ScopedFileStream = ScopedHandle<FILE*, FileStreamTraits>;
using ScopedIcon = ScopedHandle<HICON, IconTraits>;
using ScopedCursor = ScopedHandle<HCURSOR, CursorTraits>;
template <typename Object>
using ScopedGdiObject = ScopedHandle<Object, GdiObjectTraits<Object>>;

// A lock on a local-memory block, undone when the owner goes.
class ScopedLocalLock {
 public:
  explicit ScopedLocalLock(HLOCAL memory) : memory_(memory), data_(LocalLock(memory)) {}
  ~ScopedLocalLock() {
    if (data_) LocalUnlock(memory_);
  }
  ScopedLocalLock(const ScopedLocalLock&) = delete;
  ScopedLocalLock& operator=(const ScopedLocalLock&) = delete;
  void* data() const { return data_; }

 private:
  HLOCAL memory_;
  void* data_;
};

// A device context from GetDC, given back with ReleaseDC.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context, deselected when the owner goes.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A COM interface pointer, released when the owner goes.
template <typename Interface>
struct ComObjectTraits {
  static Interface* Empty() { return nullptr; }
  static void Close(Interface* object) { object->Release(); }
};
template <typename Interface>
using ScopedComObject = ScopedHandle<Interface*, ComObjectTraits<Interface>>;
