#pragma once
// File > "Export Report...": the configuration report of q51ctl laid out as
// a page for a site's records, as HTML or PDF. The words come from the
// schema's report, so the sheet and the command line always agree.

#include <QDate>
#include <QString>

#include "model/configuration.h"

namespace q51 {

// The sheet as an HTML page: title, date, header strings, then every
// setting in a table per page and panel.
QString ReportSheetHtml(const Configuration &config, const QDate &date);

// Writes the sheet to path, as PDF when the name ends in ".pdf" and as HTML
// otherwise, all or nothing. Returns an empty text, or why it failed.
QString WriteReportSheet(const QString &path, const QString &html);

} // namespace q51
