#pragma once
// --json: one JSON document on stdout, indented, UTF-8.

#include <QJsonArray>
#include <QJsonObject>

namespace q51::cli {

void PrintJson(const QJsonObject &object);

} // namespace q51::cli
