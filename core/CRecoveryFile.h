// The recovery file on disk: created with the first record of a run and kept open, each later
// record written over it in place with one write (a change of the slider must not cost a file
// creation), read only when it is whole records long, removed when no longer needed. It knows
// whose records this process writes and uses: this user in this session.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/RecoveryRecord.h"

namespace orvel {

class CRecoveryFile {
public:
    enum class Found {
        Nothing,   // no file, or one that cannot be opened now
        Unusable,  // damaged, of another version or size, or not a believable screen
        Foreign,   // a whole record of another user or another session
        Ours,
    };

    CRecoveryFile() = default;
    // Closes the file and leaves it in place: a run that goes without restoring leaves its record.
    ~CRecoveryFile();
    CRecoveryFile(const CRecoveryFile&) = delete;
    CRecoveryFile& operator=(const CRecoveryFile&) = delete;

    // An empty path: the core keeps no recovery file.
    void SetPath(std::wstring path);
    bool IsSet() const { return !m_path.empty(); }
    const std::wstring& Path() const { return m_path; }
    // The owner every record this process writes carries, and a record must carry to be used.
    const RecoveryOwner& Owner() const { return m_owner; }

    // `record` is filled only for Ours.
    Found Read(RecoveryRecord& record);
    // False when the record could not be written whole. A write cut short leaves a record its check
    // field refuses; a process that ends cannot cut one write short.
    bool Write(const RecoveryRecord& record);
    // True when no file is left at the path (also when there was none).
    bool Remove() noexcept;
    // The same on the way down after a fault, from any thread, with no allocation: gives up
    // (false) rather than wait while another thread is writing or removing the file.
    bool RemoveAfterFault() noexcept;

    // For a record of ours that cannot be removed: whether the file last read was used already in
    // this session, and remembering that it was. A global atom named after the file's check value
    // and time of writing holds that: it lives as long as the session, which is as long as a record
    // of it can be used.
    bool WasUsed() const;
    bool RememberUsed() const;

private:
    bool CloseAndDelete() noexcept;

    std::wstring m_path;
    // The file this run created, open from its first record until it is removed. The lock keeps
    // the fault restore's removal from cutting into a write on the core window's thread.
    SRWLOCK m_lock = SRWLOCK_INIT;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::size_t m_written = 0;
    RecoveryOwner m_owner;
    std::uint32_t m_readCheck = 0;
    std::uint64_t m_readWritten = 0;
};

}  // namespace orvel
