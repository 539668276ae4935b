#include "core/CRecoveryKeeper.h"

#include <new>
#include <utility>

namespace orvel {

void CRecoveryKeeper::SetPath(std::wstring path, std::size_t displays) {
    m_file.SetPath(std::move(path));
    m_entries.assign(displays, std::nullopt);
    m_recordWritten = false;
}

void CRecoveryKeeper::Keep(std::size_t slot, const RecoveryDisplay* entry) {
    if (!IsSet() || slot >= m_entries.size()) return;
    try {
        if (entry != nullptr)
            m_entries[slot] = *entry;
        else
            m_entries[slot].reset();
        RecoveryRecord record;
        record.owner = m_file.Owner();
        for (const auto& kept : m_entries)
            if (kept) record.displays.push_back(*kept);
        if (record.displays.empty()) {
            if (m_recordWritten && m_file.Remove()) m_recordWritten = false;
            return;
        }
        if (m_recordWritten && record == m_written) return;
        if (m_file.Write(record)) {
            m_written = std::move(record);
            m_recordWritten = true;
        } else {
            m_written = RecoveryRecord{};  // what the file holds is not known any more
        }
    } catch (const std::bad_alloc&) {
    }
}

bool CRecoveryKeeper::TakeRecorded(RecoveryRecord& record) {
    switch (m_file.Read(record)) {
    case CRecoveryFile::Found::Nothing:
    case CRecoveryFile::Found::Foreign:
        return false;
    case CRecoveryFile::Found::Unusable:
        m_file.Remove();
        return false;
    case CRecoveryFile::Found::Ours:
        break;
    }
    if (m_file.WasUsed()) return false;
    return m_file.Remove() || m_file.RememberUsed();
}

}  // namespace orvel
