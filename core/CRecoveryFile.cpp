#include "core/CRecoveryFile.h"

namespace orvel {

namespace {
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        if (!IsOpen()) return true;
        const bool closed = CloseHandle(m_handle) != FALSE;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};
}  // namespace

bool CRecoveryFile::Read(RecoveryRecord& record) const {
    if (!IsSet()) return false;
    FileHandle file(CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK) return false;
    // The size is checked before a byte is read: anything but one record is not a recovery file.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart != static_cast<LONGLONG>(kRecoveryRecordBytes))
        return false;
    RecoveryBytes bytes{};
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        return false;
    return DecodeRecoveryRecord(bytes.data(), got, record);
}

bool CRecoveryFile::Write(const RecoveryRecord& record) const {
    if (!IsSet()) return false;
    const std::wstring temporary = m_path + L".tmp";
    const RecoveryBytes bytes = EncodeRecoveryRecord(record);
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file.IsOpen()) return false;
        DWORD written = 0;
        // On the disk before the move, so that the move never puts a hollow file in place.
        const bool whole = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size() && FlushFileBuffers(file.Get());
        if (!file.Close() || !whole) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool CRecoveryFile::Remove() const noexcept {
    if (!IsSet()) return true;
    if (DeleteFileW(m_path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace orvel
