// Move-only owners for the platform handles the system uses. Each closes its
// handle with the matching release call; none of them throws.
#pragma once

#include <windows.h>
#include <winspool.h>
#include <utility>

namespace dv {

template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  T get() const { return h_; }
  explicit operator bool() const { return Traits::Valid(h_); }
  T release() {
    T h = h_;
    h_ = Traits::Invalid();
    return h;
  }
  void reset(T h = Traits::Invalid()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For APIs that return the handle through a pointer.
  T* put() {
    reset();
    return &h_;
  }

 private:
  T h_ = Traits::Invalid();
};

struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct PrinterHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr; }
  static void Close(HANDLE h) { ClosePrinter(h); }
};
struct RegKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool Valid(HKEY h) { return h != nullptr; }
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static bool Valid(HMODULE h) { return h != nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
struct DeleteDcTraits {
  static HDC Invalid() { return nullptr; }
  static bool Valid(HDC h) { return h != nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};
struct EnhMetaFileTraits {
  static HENHMETAFILE Invalid() { return nullptr; }
  static bool Valid(HENHMETAFILE h) { return h != nullptr; }
  static void Close(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
};
struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static bool Valid(HGDIOBJ h) { return h != nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct FindTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { FindClose(h); }
};
struct GlobalTraits {
  static HGLOBAL Invalid() { return nullptr; }
  static bool Valid(HGLOBAL h) { return h != nullptr; }
  static void Close(HGLOBAL h) { GlobalFree(h); }
};

using FileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using PrinterHandle = UniqueHandle<HANDLE, PrinterHandleTraits>;
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using ModuleHandle = UniqueHandle<HMODULE, ModuleTraits>;
using DcHandle = UniqueHandle<HDC, DeleteDcTraits>;
using EnhMetaFileHandle = UniqueHandle<HENHMETAFILE, EnhMetaFileTraits>;
using GdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using GlobalMemory = UniqueHandle<HGLOBAL, GlobalTraits>;
using FindHandle = UniqueHandle<HANDLE, FindTraits>;  // FindFirstFileW

// Selects an object into a DC for the guard's lifetime.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectGuard() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC/RestoreDC pair.
class SaveDcGuard {
 public:
  explicit SaveDcGuard(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
  ~SaveDcGuard() {
    if (id_ > 0) RestoreDC(dc_, id_);
  }
  SaveDcGuard(const SaveDcGuard&) = delete;
  SaveDcGuard& operator=(const SaveDcGuard&) = delete;

 private:
  HDC dc_;
  int id_;
};

}  // namespace dv
