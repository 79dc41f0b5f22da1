#pragma once
// File > New, Open, Save, Save As and the unsaved-changes prompts, apart
// from any widget so that every prompt can be tested through the dialog seam.

#include <QString>
#include <functional>

#include "document/config_document.h"
#include "model/configuration.h"

namespace q51 {

class UserDialogs;

class DocumentCommands {
public:
    struct Hooks {
        std::function<void(const QString &title)> setTitle;
        std::function<void()> closeParameterPages; // the four pages, not the transfer window
        std::function<QString()> today;            // BuildingDate of a new configuration
    };

    // Changes to settings (New, Open, Set All Defaults) go through document,
    // so they are announced; the file name and saved copy are the
    // configuration's own.
    DocumentCommands(Configuration &config, ConfigDocument &document, UserDialogs &dialogs, Hooks hooks);

    void New();
    void Open();
    // Open's steps after its dialog: read or reject the file, set the title,
    // close the pages. For a file named on the command line.
    void OpenFile(const QString &path);
    // Both return whether the configuration is now safely in a file.
    bool Save();
    bool SaveAs();
    void SetAllDefaults();
    // File > "Export Report...": the report as an HTML or PDF sheet.
    void ExportReport();

    // The prompt before unsaved work would be lost. Returns true when the
    // caller may go on: No, or Yes followed by a save that worked. Cancel,
    // a cancelled Save As and a failed save all keep the work and stop.
    bool SaveIfChanged(const char *title);
    // Exit's unconditional question; true when the exit may go on.
    bool ConfirmExit();

    void setTitle(const char *prefix);

private:
    bool write(const QString &path);

    Configuration &config_;
    ConfigDocument &document_;
    UserDialogs &dialogs_;
    Hooks hooks_;
};

} // namespace q51
