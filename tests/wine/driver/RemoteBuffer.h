// Memory inside another process, for messages whose lParam points at a structure that the
// receiving control reads or writes (LVM_GETITEMTEXTW, LVM_SETITEMSTATE, WM_NOTIFY). Windows
// carries only a fixed set of such messages across processes; the common controls' own
// messages are not among them, so the structure has to live in the receiver's address space.
#pragma once
#include <windows.h>

#include <cstddef>

namespace zdrv {

class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Valid() const { return m_address != nullptr; }
  // The address in the other process, to pass as a message parameter or inside a structure.
  void* Address(size_t offset = 0) const { return static_cast<char*>(m_address) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const;
  bool Read(size_t offset, void* data, size_t size) const;

 private:
  HANDLE m_process = nullptr;
  void* m_address = nullptr;
  size_t m_size = 0;
};

}  // namespace zdrv
