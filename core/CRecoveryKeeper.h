// The recovery file of every display the core drives: one record, with an entry for each display
// whose screen differs from its start-up state, brought up to date before each change reaches the
// screen and removed once every display is back. At start-up it hands out the record an earlier
// run left, once.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/CRecoveryFile.h"
#include "core/RecoveryRecord.h"

namespace orvel {

class CRecoveryKeeper {
public:
    // An empty path: no recovery file. `displays`: how many entries the record can have.
    void SetPath(std::wstring path, std::size_t displays);
    bool IsSet() const { return m_file.IsSet(); }
    const RecoveryOwner& Owner() const { return m_file.Owner(); }

    // The entry of display `slot`: its start-up state beside what the change leaves, or none once
    // that display is back. The file then holds every display's entry, or is removed when none has
    // one. A file that cannot be written costs the recovery, not the change: it is tried again with
    // the next one.
    void Keep(std::size_t slot, const RecoveryDisplay* entry);

    // Before any display opens: the record an earlier run of this user and session left, taken
    // out of the way first (removed, or where it cannot be, remembered as used for the session) so
    // that it is used once. False when there is none to use; another user's or session's record
    // is theirs and stays, a damaged one is removed.
    bool TakeRecorded(RecoveryRecord& record);

    // The way down after a fault, from any thread, with no allocation.
    bool RemoveAfterFault() noexcept { return m_file.RemoveAfterFault(); }

private:
    CRecoveryFile m_file;
    std::vector<std::optional<RecoveryDisplay>> m_entries;
    // The record on disk, while there is one.
    RecoveryRecord m_written;
    bool m_recordWritten = false;
};

}  // namespace orvel
