#pragma once
// The fields of a station record, once: the column each is stored in (the
// same name in the database, the spool's JSON and q51ctl's CSV and JSON) and
// how its value is written and read back.

#include <optional>
#include <span>

#include <QJsonObject>
#include <QVariant>

#include "link/station_record.h"

namespace q51 {

enum class FieldKind {
    Text,   // QString, never null
    Time,   // QDateTime in UTC, stored as "2026-12-09T10:00:00.000Z" so text order is time order
    Flag,   // bool, stored as 0 or 1
    Step,   // a step's word, or null
    Number, // double
};

struct RecordField {
    const char *column;
    FieldKind kind;
    QVariant (*get)(const StationRecord &);
    void (*set)(StationRecord &, const QVariant &);
};

[[nodiscard]] std::span<const RecordField> RecordFields();

// The time as stored: fixed width, UTC, milliseconds.
[[nodiscard]] QString StoredTime(const QDateTime &time);

// The value bound to the column's SQL parameter, and read back from a row
// (false: the stored value is not of the field's kind).
[[nodiscard]] QVariant StoredValue(const RecordField &field, const StationRecord &record);
[[nodiscard]] bool TakeStoredValue(const RecordField &field, const QVariant &value, StationRecord &record);

// A field as a CSV cell or a plain text.
[[nodiscard]] QString FieldText(const RecordField &field, const StationRecord &record);

// The spool's and q51ctl's JSON: every column, typed. Reading back takes
// exactly the fields' kinds and a unit id and time; anything else is nothing.
[[nodiscard]] QJsonObject RecordToJson(const StationRecord &record);
[[nodiscard]] std::optional<StationRecord> RecordFromJson(const QJsonObject &object);

} // namespace q51
