#include "cli/json_output.h"

#include <QJsonDocument>

#include "cli/console_output.h"

namespace q51::cli {

void PrintJson(const QJsonObject &object)
{
    PrintBytes(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

} // namespace q51::cli
