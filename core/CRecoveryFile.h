// The recovery file on disk: written atomically (a temporary file beside it, then moved over it),
// read only when it is one whole record long, removed when no longer needed. It knows whose
// records this process writes and uses: this user in this session.
#pragma once

#include <windows.h>

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

    // An empty path: the core keeps no recovery file.
    void SetPath(std::wstring path);
    bool IsSet() const { return !m_path.empty(); }
    const std::wstring& Path() const { return m_path; }
    // The owner every record this process writes carries, and a record must carry to be used.
    const RecoveryOwner& Owner() const { return m_owner; }

    // `record` is filled only for Ours.
    Found Read(RecoveryRecord& record);
    // False when the record could not be put in place whole; a previous file then stays as it was.
    bool Write(const RecoveryRecord& record) const;
    // True when no file is left at the path (also when there was none). Safe on the way down:
    // a plain file deletion, no allocation.
    bool Remove() const noexcept;

    // For a record of ours that cannot be removed: whether the file last read was used already in
    // this session, and remembering that it was. A global atom named after the file's check value
    // and time of writing holds that: it lives as long as the session, which is as long as a record
    // of it can be used.
    bool WasUsed() const;
    bool RememberUsed() const;

private:
    std::wstring m_path;
    RecoveryOwner m_owner;
    std::uint32_t m_readCheck = 0;
    std::uint64_t m_readWritten = 0;
};

}  // namespace orvel
