#pragma once
// The records' tables, with a version in a table of their own (the same in
// SQLite and PostgreSQL), brought up to date in one transaction.

#include <span>

#include <QSqlDatabase>
#include <QString>

namespace q51 {

// Each step from version - 1 to version: its statements, in the SQL both
// databases take.
struct Migration {
    int version;
    std::span<const char *const> statements;
};

[[nodiscard]] std::span<const Migration> RecordMigrations();
// The version this program writes.
[[nodiscard]] int RecordSchemaVersion();

enum class SchemaState { Current, Refused, Failed };
struct SchemaCheck {
    SchemaState state = SchemaState::Failed;
    QString problem; // set unless Current
};

// The database's version (0 for an empty one), brought to the program's.
// A newer one is Refused and left untouched.
[[nodiscard]] SchemaCheck BringSchemaUpToDate(QSqlDatabase &db, const QString &described);

} // namespace q51
