#pragma once
// One frame of the Characters Edit tab: six records (deletion or
// insertion) of which one is shown at a time, its symbology list and its
// number boxes. Showing a record writes nothing; only the user's changes
// do, into the record shown.

#include <QGroupBox>
#include <vector>

#include "document/config_document.h"
#include "schema/misc_fields.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace q51 {

class UserDialogs;

class EditGroupFrame final : public QGroupBox {
    Q_OBJECT
public:
    EditGroupFrame(const EditFrameSpec &spec, ConfigDocument &document, UserDialogs &dialogs, QWidget *parent);

    // Remembers the group's record, selects it in the group list and shows
    // its bytes, then tells the frame's hand-built parts.
    void showGroup(int group);
    [[nodiscard]] int recordStart() const { return recordStart_; }
    // Room for controls below the number boxes.
    [[nodiscard]] QFormLayout *form() const { return form_; }
    [[nodiscard]] const Configuration &config() const { return document_.config(); }
    // Writes the setting of kind at the shown record's offset; the frame
    // does not show its own writes again.
    void writeRecord(SettingKind kind, int offset, const std::string &text);
    // Marks a control that shows the setting of kind at offset of the shown
    // record: it follows the group shown and can bring any group into view.
    void markRecordControl(QWidget *control, SettingKind kind, int offset);

signals:
    void groupShown(int recordStart);

private:
    void writeSymbology(int entry);
    void applyNumber(QLineEdit *box, int offset);
    void showNumber(QLineEdit *box, int offset);
    void clearAll();

    const EditFrameSpec &spec_;
    ConfigDocument &document_;
    bool writing_ = false; // our own write is being announced
    UserDialogs &dialogs_;
    QComboBox *groupList_ = nullptr;
    QComboBox *symbologyList_ = nullptr;
    std::vector<std::pair<QLineEdit *, int>> numbers_; // box, offset in the record
    QFormLayout *form_ = nullptr;
    int recordStart_ = 0;
};

} // namespace q51
