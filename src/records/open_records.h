#pragma once
// The records store a --records value names, with its spool in the
// program's data folder: for the station (which makes the database) and for
// q51ctl records (which only reads one that is there).

#include <memory>
#include <optional>

#include "records/record_store.h"

namespace q51 {

// Nothing, with *problem set, when the value names no database; opening
// itself is left to the store, which keeps trying.
[[nodiscard]] std::unique_ptr<RecordStore> OpenRecordStore(const std::optional<QString> &records, QString *problem,
                                                           RecordStore::Missing missing = RecordStore::Missing::Create);

} // namespace q51
