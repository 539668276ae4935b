#include "RemoteBuffer.h"

namespace zdrv {

RemoteBuffer::RemoteBuffer(HWND window, size_t size) : m_size(size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (!pid) return;
  m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                          FALSE, pid);
  if (!m_process) return;
  m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
  if (m_address) VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
  if (m_process) CloseHandle(m_process);
}

bool RemoteBuffer::Write(size_t offset, const void* data, size_t size) const {
  SIZE_T done = 0;
  return m_address && offset + size <= m_size &&
         WriteProcessMemory(m_process, Address(offset), data, size, &done) && done == size;
}

bool RemoteBuffer::Read(size_t offset, void* data, size_t size) const {
  SIZE_T done = 0;
  return m_address && offset + size <= m_size &&
         ReadProcessMemory(m_process, Address(offset), data, size, &done) && done == size;
}

}  // namespace zdrv
