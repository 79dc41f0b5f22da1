#pragma once
// One frame of the Characters Edit tab: six records (deletion or
// insertion) of which one is shown at a time, its symbology list and its
// number boxes. Showing a record writes nothing; only the user's changes
// do, into the record shown.

#include <QGroupBox>
#include <vector>

#include "model/configuration.h"
#include "schema/misc_fields.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace q51 {

class UserDialogs;

class EditGroupFrame final : public QGroupBox {
    Q_OBJECT
public:
    EditGroupFrame(const EditFrameSpec &spec, Configuration &config, UserDialogs &dialogs, QWidget *parent);

    // Remembers the group's record, selects it in the group list and shows
    // its bytes, then tells the frame's hand-built parts.
    void showGroup(int group);
    [[nodiscard]] int recordStart() const { return recordStart_; }
    // Room for controls below the number boxes.
    [[nodiscard]] QFormLayout *form() const { return form_; }

signals:
    void groupShown(int recordStart);

private:
    void writeSymbology(int entry);
    void applyNumber(QLineEdit *box, int offset);
    void showNumber(QLineEdit *box, int offset);
    void clearAll();

    const EditFrameSpec &spec_;
    Configuration &config_;
    UserDialogs &dialogs_;
    QComboBox *groupList_ = nullptr;
    QComboBox *symbologyList_ = nullptr;
    std::vector<std::pair<QLineEdit *, int>> numbers_; // box, offset in the record
    QFormLayout *form_ = nullptr;
    int recordStart_ = 0;
};

} // namespace q51
