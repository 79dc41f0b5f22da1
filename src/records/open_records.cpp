#include "open_records.h"

namespace q51 {

std::unique_ptr<RecordStore> OpenRecordStore(const std::optional<QString> &records, QString *problem,
                                             RecordStore::Missing missing)
{
    const auto location = ParseRecordsLocation(records.value_or(QString()), problem);
    if (!location)
        return nullptr;
    return std::make_unique<RecordStore>(*location, RecordsDataFolder(), missing);
}

} // namespace q51
