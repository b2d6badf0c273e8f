#pragma once
// The record file in its directory: read and checked against the registry's uninstall entry,
// and written whole or not at all.
#include <optional>
#include <string>

#include "uninstall/uninstall_record.h"
#include "uninstall/uninstall_services.h"

namespace setup {

struct StoredRecord {
    std::optional<UninstallRecord> record;
    bool missing = false;  // the directory holds no record
    std::string problem;   // why there is no record: the text of the error box
};

// The record in the directory (a full path), accepted only when its checksum matches its bytes
// and one of those its registry entry keeps, and when the entry and the record name the
// directory as the target.
StoredRecord LoadRecord(const std::string& directory, UninstallServices& services);

// The first of the uninstaller's files in the directory that this program did not write: a
// record or a scratch record that does not begin as a record (a scratch file may be empty, cut
// short before its first byte), or an uninstall.exe without a record beside it. Nothing when
// each is missing or the program's own.
std::optional<std::string> ForeignUninstallFile(const std::string& directory, UninstallServices& services);

// Writes the record into its target (a scratch file, then one replacing move), its checksum kept
// first in its entry as the next record's, so that a run ending before the entry is written again
// leaves a record that is still accepted. The checksum that the entry must keep; nothing when it
// could not be written whole or would not read back as the record (the old record stays).
std::optional<std::string> StoreRecord(const UninstallRecord& record, UninstallServices& services);

}  // namespace setup
