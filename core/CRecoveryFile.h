// The recovery file on disk: written atomically (a temporary file beside it, flushed, then
// moved over it), read only when it is exactly one record long, removed when no longer needed.
#pragma once

#include <windows.h>

#include <string>

#include "core/RecoveryRecord.h"

namespace orvel {

class CRecoveryFile {
public:
    // An empty path: the core keeps no recovery file.
    void SetPath(std::wstring path) { m_path = std::move(path); }
    bool IsSet() const { return !m_path.empty(); }
    const std::wstring& Path() const { return m_path; }

    // False for a missing, unreadable, damaged or implausible file; `record` is then untouched.
    bool Read(RecoveryRecord& record) const;
    // False when the record could not be put in place whole; a previous file then stays as it was.
    bool Write(const RecoveryRecord& record) const;
    // True when no file is left at the path (also when there was none). Safe on the way down:
    // a plain file deletion, no allocation.
    bool Remove() const noexcept;

private:
    std::wstring m_path;
};

}  // namespace orvel
