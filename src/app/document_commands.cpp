#include "app/document_commands.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "app/report_sheet.h"
#include "app/shell_texts.h"
#include "files/config_file_damage.h"
#include "files/config_file_io.h"
#include "model/factory_defaults.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

Message yesNoCancel(const char *title, const char *text)
{
    return Message{QString::fromUtf8(title), QString::fromUtf8(text), MessageButtons::YesNoCancel,
                   MessageIcon::None, Answer::Yes, {}};
}

FileDialogRequest fileRequest(const QString &preset)
{
    return FileDialogRequest{{}, QString::fromUtf8(text::FileFilter), QString::fromUtf8(text::FileSuffix), preset};
}

} // namespace

DocumentCommands::DocumentCommands(Configuration &config, ConfigDocument &document, UserDialogs &dialogs, Hooks hooks)
    : config_(config), document_(document), dialogs_(dialogs), hooks_(std::move(hooks))
{
}

void DocumentCommands::setTitle(const char *prefix)
{
    if (hooks_.setTitle)
        hooks_.setTitle(QString::fromUtf8(prefix) + qs(config_.FileName));
}

bool DocumentCommands::SaveIfChanged(const char *title)
{
    if (!config_.HasUnsavedChanges())
        return true;
    switch (dialogs_.ask(yesNoCancel(title, text::ChangedSavePrompt))) {
    case Answer::Yes: return Save();
    case Answer::No: return true;
    default: return false;
    }
}

bool DocumentCommands::ConfirmExit()
{
    switch (dialogs_.ask(yesNoCancel(text::SetupTitle, text::ExitSavePrompt))) {
    case Answer::Yes: return Save();
    case Answer::No: return true;
    default: return false;
    }
}

void DocumentCommands::New()
{
    if (!SaveIfChanged(text::BarDecoderSetup))
        return;
    const std::string today = hooks_.today ? hooks_.today().toStdString() : std::string();
    document_.replace([&](Configuration &config) {
        LoadFactoryDefaults(config); // the saved copy keeps the last file's contents
        ResetHeaderStrings(config, HeaderPreset::NewFile, today);
    });
    config_.TakeSavedHeader();
    setTitle(text::OpenedTitlePrefix);
    if (hooks_.closeParameterPages)
        hooks_.closeParameterPages();
}

void DocumentCommands::Open()
{
    if (!SaveIfChanged(text::SetupTitle))
        return;
    const QString path = dialogs_.openFileName(fileRequest({}));
    if (path.isEmpty())
        return;
    OpenFile(path);
}

void DocumentCommands::OpenFile(const QString &path)
{
    std::vector<SkippedLine> skipped;
    // Read aside: a file that is refused leaves the work and its history alone.
    Configuration loaded = config_;
    if (!ReadConfigurationFile(path, loaded, &skipped)) {
        dialogs_.tell(QString::fromUtf8(text::SetupTitle), QString::fromUtf8(text::NotAConfigurationFile));
        return;
    }
    document_.replace([&](Configuration &config) { config = loaded; });
    setTitle(text::OpenedTitlePrefix);
    if (hooks_.closeParameterPages)
        hooks_.closeParameterPages();
    // Loaded as older files expect, value by value; the user still learns
    // which settings did not come from the file.
    if (!skipped.empty())
        dialogs_.tell(QString::fromUtf8(text::SetupTitle),
                      QStringLiteral("Some lines of \"%1\" were missing or unusable. The settings they hold kept "
                                     "their previous values; check them before you save or download.")
                          .arg(QDir::toNativeSeparators(path)),
                      MessageIcon::Warning, DescribeSkippedLines(skipped).join(QLatin1Char('\n')));
}

bool DocumentCommands::Save()
{
    if (config_.IsNewFile())
        return SaveAs();
    return write(qs(config_.FileName));
}

bool DocumentCommands::SaveAs()
{
    const QString path = dialogs_.saveFileName(fileRequest(qs(config_.FileName)));
    if (path.isEmpty())
        return false;
    if (!write(path))
        return false; // FileName and the title stay with the file that still holds the work
    config_.FileName = path.toStdString();
    setTitle(text::SavedAsTitlePrefix);
    return true;
}

bool DocumentCommands::write(const QString &path)
{
    const SaveResult result = WriteConfigurationFile(path, config_);
    if (result.ok)
        return true;
    dialogs_.tell(QString::fromUtf8(text::SetupTitle),
                  QStringLiteral("The configuration could not be saved to \"%1\".").arg(path), MessageIcon::Warning,
                  result.reason + QStringLiteral("\nAny previous file of that name is unchanged."));
    return false;
}

void DocumentCommands::ExportReport()
{
    const QString preset = QFileInfo(qs(config_.FileName)).completeBaseName() + QStringLiteral(".html");
    const FileDialogRequest request{QString::fromUtf8(text::ExportReportTitle),
                                    QString::fromUtf8(text::ReportFilter), QStringLiteral("html"), preset};
    const QString path = dialogs_.saveFileName(request);
    if (path.isEmpty())
        return;
    const QString failure = WriteReportSheet(path, ReportSheetHtml(config_, QDate::currentDate()));
    if (!failure.isEmpty())
        dialogs_.tell(QString::fromUtf8(text::SetupTitle),
                      QStringLiteral("The report could not be written to \"%1\".").arg(path), MessageIcon::Warning,
                      failure);
}

void DocumentCommands::SetAllDefaults()
{
    const Message prompt{QString::fromUtf8(text::SetupTitle), QString::fromUtf8(text::SetAllDefaultsPrompt),
                         MessageButtons::YesNo, MessageIcon::Warning, Answer::No, {}};
    if (dialogs_.ask(prompt) != Answer::Yes)
        return;
    document_.change([](Configuration &config) { LoadFactoryDefaults(config); }, QStringLiteral("Set All Defaults"));
}

} // namespace q51
