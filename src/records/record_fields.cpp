#include "record_fields.h"

#include <QJsonValue>

namespace q51 {

namespace {

// A plain text member, stored as it is.
template <QString StationRecord::*Member>
constexpr RecordField textField(const char *column)
{
    return {column, FieldKind::Text, [](const StationRecord &r) { return QVariant(r.*Member); },
            [](StationRecord &r, const QVariant &v) { r.*Member = v.toString(); }};
}

const RecordField Fields[]{
    textField<&StationRecord::unitId>("unit_id"),
    {"time", FieldKind::Time, [](const StationRecord &r) { return QVariant(r.time); },
     [](StationRecord &r, const QVariant &v) { r.time = v.toDateTime(); }},
    textField<&StationRecord::station>("station"),
    textField<&StationRecord::operatorName>("operator"),
    textField<&StationRecord::port>("port"),
    textField<&StationRecord::adapterSerial>("adapter_serial"),
    textField<&StationRecord::decoderVersion>("decoder_version"),
    textField<&StationRecord::foundDigest>("found_digest"),
    textField<&StationRecord::goldenDigest>("golden_digest"),
    textField<&StationRecord::firmwareBefore>("firmware_before"),
    textField<&StationRecord::firmwareAfter>("firmware_after"),
    {"passed", FieldKind::Flag, [](const StationRecord &r) { return QVariant(r.passed); },
     [](StationRecord &r, const QVariant &v) { r.passed = v.toBool(); }},
    {"failed_step", FieldKind::Step,
     [](const StationRecord &r) { return r.failedStep ? QVariant(UnitStepWord(*r.failedStep)) : QVariant(); },
     [](StationRecord &r, const QVariant &v) {
         r.failedStep = v.isNull() ? std::nullopt : UnitStepFromWord(v.toString());
     }},
    textField<&StationRecord::problem>("problem"),
    {"seconds", FieldKind::Number, [](const StationRecord &r) { return QVariant(r.seconds); },
     [](StationRecord &r, const QVariant &v) { r.seconds = v.toDouble(); }},
};

std::optional<QDateTime> timeFrom(const QString &text)
{
    // Only the four-digit years the stored form can write back.
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid() || time.toUTC().date().year() < 1 || time.toUTC().date().year() > 9999)
        return std::nullopt;
    return time.toUTC();
}

} // namespace

std::span<const RecordField> RecordFields()
{
    return Fields;
}

QString StoredTime(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QVariant StoredValue(const RecordField &field, const StationRecord &record)
{
    const QVariant value = field.get(record);
    switch (field.kind) {
    case FieldKind::Time:
        return StoredTime(value.toDateTime());
    case FieldKind::Flag:
        return value.toBool() ? 1 : 0;
    case FieldKind::Step:
        return value.isNull() ? QVariant(QMetaType::fromType<QString>()) : value;
    case FieldKind::Text:
        // An empty text is a value, not SQL's NULL.
        return value.toString().isNull() ? QVariant(QStringLiteral("")) : value;
    case FieldKind::Number:
        break;
    }
    return value;
}

bool TakeStoredValue(const RecordField &field, const QVariant &value, StationRecord &record)
{
    switch (field.kind) {
    case FieldKind::Text:
        field.set(record, value.isNull() ? QString() : value.toString());
        return true;
    case FieldKind::Time: {
        const auto time = timeFrom(value.toString());
        if (time)
            field.set(record, *time);
        return time.has_value();
    }
    case FieldKind::Flag: {
        bool ok = false;
        const int flag = value.toInt(&ok);
        field.set(record, flag != 0);
        return ok && (flag == 0 || flag == 1);
    }
    case FieldKind::Step:
        if (!value.isNull() && !UnitStepFromWord(value.toString()))
            return false;
        field.set(record, value);
        return true;
    case FieldKind::Number: {
        bool ok = false;
        field.set(record, value.toDouble(&ok));
        return ok;
    }
    }
    return false;
}

QString FieldText(const RecordField &field, const StationRecord &record)
{
    const QVariant value = StoredValue(field, record);
    if (field.kind == FieldKind::Flag)
        return value.toInt() ? QStringLiteral("true") : QStringLiteral("false");
    if (field.kind == FieldKind::Number)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value.toString();
}

QJsonObject RecordToJson(const StationRecord &record)
{
    QJsonObject object;
    for (const RecordField &field : RecordFields()) {
        const QVariant value = StoredValue(field, record);
        QJsonValue json;
        switch (field.kind) {
        case FieldKind::Flag:
            json = value.toInt() != 0;
            break;
        case FieldKind::Number:
            json = value.toDouble();
            break;
        case FieldKind::Step:
            json = value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(value.toString());
            break;
        case FieldKind::Text:
        case FieldKind::Time:
            json = value.toString();
            break;
        }
        object.insert(QLatin1String(field.column), json);
    }
    return object;
}

std::optional<StationRecord> RecordFromJson(const QJsonObject &object)
{
    StationRecord record;
    for (const RecordField &field : RecordFields()) {
        const QJsonValue json = object.value(QLatin1String(field.column));
        QVariant value;
        switch (field.kind) {
        case FieldKind::Flag:
            if (!json.isBool())
                return std::nullopt;
            value = json.toBool() ? 1 : 0;
            break;
        case FieldKind::Number:
            if (!json.isDouble())
                return std::nullopt;
            value = json.toDouble();
            break;
        case FieldKind::Step:
            if (!json.isNull() && !json.isString())
                return std::nullopt;
            value = json.isNull() ? QVariant() : QVariant(json.toString());
            break;
        case FieldKind::Text:
        case FieldKind::Time:
            if (!json.isString())
                return std::nullopt;
            value = json.toString();
            break;
        }
        if (!TakeStoredValue(field, value, record))
            return std::nullopt;
    }
    if (record.unitId.isEmpty())
        return std::nullopt;
    return record;
}

} // namespace q51
