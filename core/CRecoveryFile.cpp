#include "core/CRecoveryFile.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <new>
#include <vector>

namespace orvel {

namespace {
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (IsOpen()) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// This user in this session. A part that cannot be learnt stays zero, so that such a process
// still recognises the records it wrote itself.
RecoveryOwner CurrentOwner() {
    RecoveryOwner owner;
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session)) owner.session = session;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return owner;
    alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size)) {
        const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer)->User.Sid;
        const DWORD length = IsValidSid(sid) ? GetLengthSid(sid) : 0;
        if (length > 0 && length <= owner.sid.size()) {
            std::memcpy(owner.sid.data(), sid, length);
            owner.sidLength = length;
        }
    }
    CloseHandle(token);
    return owner;
}

void UsedAtomName(std::uint32_t check, std::uint64_t written, wchar_t (&name)[64]) {
    std::swprintf(name, std::size(name), L"Zerenta.Recovery.Used.%08X.%016llX", static_cast<unsigned>(check),
                  static_cast<unsigned long long>(written));
}
}  // namespace

CRecoveryFile::~CRecoveryFile() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
}

void CRecoveryFile::SetPath(std::wstring path) {
    m_path = std::move(path);
    if (IsSet()) m_owner = CurrentOwner();
}

CRecoveryFile::Found CRecoveryFile::Read(RecoveryRecord& record) {
    if (!IsSet()) return Found::Nothing;
    // Shared for writing too: this object may still hold the file open from an earlier Init.
    FileHandle file(CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A file that cannot be opened now (another process has it, or may not share it with this
    // user) is nobody's to judge from here.
    if (!file.IsOpen()) return Found::Nothing;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return Found::Unusable;
    // The size is checked before a byte is read: anything but whole records is not a recovery file.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < static_cast<LONGLONG>(RecoveryRecordBytes(1)) ||
        size.QuadPart > static_cast<LONGLONG>(kRecoveryMaxBytes))
        return Found::Unusable;
    try {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        RecoveryRecord decoded;
        if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
            got != bytes.size() || !DecodeRecoveryRecord(bytes.data(), got, decoded))
            return Found::Unusable;
        if (!(decoded.owner == m_owner)) return Found::Foreign;
        m_readCheck = Crc32(bytes.data(), bytes.size());
        FILETIME written{};
        m_readWritten = GetFileTime(file.Get(), nullptr, nullptr, &written)
                            ? (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime
                            : 0;
        record = std::move(decoded);
        return Found::Ours;
    } catch (const std::bad_alloc&) {
        return Found::Nothing;
    }
}

bool CRecoveryFile::Write(const RecoveryRecord& record) {
    if (!IsSet()) return false;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = EncodeRecoveryRecord(record);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (bytes.empty()) return false;
    AcquireSRWLockExclusive(&m_lock);
    bool whole = false;
    if (m_file == INVALID_HANDLE_VALUE) {
        // Whatever lies there (an older record, another session's) gives way to this run's.
        m_file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        m_written = 0;
    }
    LARGE_INTEGER start{};
    DWORD written = 0;
    if (m_file != INVALID_HANDLE_VALUE && SetFilePointerEx(m_file, start, nullptr, FILE_BEGIN) &&
        WriteFile(m_file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size()) {
        // Not flushed to the disk: the record serves a run that ends without restoring, after which
        // the system still writes out its cache. After a power loss the screen starts afresh.
        whole = bytes.size() >= m_written || SetEndOfFile(m_file);
        m_written = bytes.size();
    }
    ReleaseSRWLockExclusive(&m_lock);
    return whole;
}

bool CRecoveryFile::CloseAndDelete() noexcept {
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    if (DeleteFileW(m_path.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool CRecoveryFile::Remove() noexcept {
    if (!IsSet()) return true;
    AcquireSRWLockExclusive(&m_lock);
    const bool removed = CloseAndDelete();
    ReleaseSRWLockExclusive(&m_lock);
    return removed;
}

bool CRecoveryFile::RemoveAfterFault() noexcept {
    if (!IsSet()) return true;
    if (!TryAcquireSRWLockExclusive(&m_lock)) return false;
    const bool removed = CloseAndDelete();
    ReleaseSRWLockExclusive(&m_lock);
    return removed;
}

bool CRecoveryFile::WasUsed() const {
    wchar_t name[64];
    UsedAtomName(m_readCheck, m_readWritten, name);
    return GlobalFindAtomW(name) != 0;
}

bool CRecoveryFile::RememberUsed() const {
    wchar_t name[64];
    UsedAtomName(m_readCheck, m_readWritten, name);
    return GlobalAddAtomW(name) != 0;
}

}  // namespace orvel
