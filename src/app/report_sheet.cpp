#include "app/report_sheet.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "files/checked_write.h"
#include "schema/config_report.h"

namespace q51 {

namespace {

QString escaped(const std::string &text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

constexpr int PdfResolution = 300;

} // namespace

QString ReportSheetHtml(const Configuration &config, const QDate &date)
{
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Decoder Configuration Report</title>"
                                  "</head><body><h1>Decoder Configuration Report</h1><p>%1 &mdash; %2</p>")
                       .arg(escaped(config.FileName), date.toString(Qt::ISODate));
    std::string page;
    std::string panel;
    const QString closeTable = QStringLiteral("</table>");
    for (const ReportLine &line : ReportLines(config, true)) {
        if (line.page != page || line.panel != panel) {
            if (!page.empty())
                html += closeTable;
            if (line.page != page)
                html += QStringLiteral("<h2>%1</h2>").arg(escaped(line.page));
            html += QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">")
                        .arg(escaped(line.panel));
            page = line.page;
            panel = line.panel;
        }
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td><small>%3</small></td></tr>")
                    .arg(escaped(line.caption), escaped(line.value), escaped(line.bits));
    }
    if (!page.empty())
        html += closeTable;
    return html + QStringLiteral("</body></html>\n");
}

QString WriteReportSheet(const QString &path, const QString &html)
{
    const bool pdf = QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
    return SaveWholeFile(path, [&](QFileDevice &file) {
        if (!pdf) {
            const QByteArray bytes = html.toUtf8();
            return file.write(bytes) == bytes.size();
        }
        // The PDF writer does not report a failed write; the device keeps
        // the error and the save looks at it before anything is replaced.
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(PdfResolution);
        writer.setTitle(QStringLiteral("Decoder Configuration Report"));
        QTextDocument document;
        document.setHtml(html);
        document.print(&writer);
        return true;
    });
}

} // namespace q51
