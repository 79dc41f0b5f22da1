#pragma once
// Ties a control to the setting it changes, from the catalogue: the tool
// tip names the key, the factory value and what the setting allows; the
// context menu offers "Reset to Factory Value" and "Copy Key"; Find
// Setting and Changed Settings find the control by its setting. A control
// that shows one of several settings at a time (an edit group's boxes)
// follows the one shown and can bring any of the others into view.

#include <QObject>

#include <functional>
#include <vector>

#include "document/config_document.h"

class QMenu;
class QWidget;

namespace q51 {

class SettingMark : public QObject {
    Q_OBJECT
public:
    // How the control is named for assistive technology.
    enum class Naming {
        BySetting, // by the setting's caption (a box, a list, a group)
        Own,       // by its label: one part of a setting several boxes show
    };
    // The mark is the control's child.
    SettingMark(QWidget *control, const Setting &setting, ConfigDocument &document,
                Naming naming = Naming::BySetting);

    [[nodiscard]] QWidget *control() const;
    [[nodiscard]] const Setting &shown() const { return *shown_; }
    // Another setting the control can show, and how to bring it in.
    void addShowable(const Setting &setting, std::function<void()> reveal);
    // The control now shows this one of its settings.
    void show(const Setting &setting);
    // Whether the control shows or can show the setting; brings it in.
    [[nodiscard]] bool covers(const Setting &setting) const;
    void reveal(const Setting &setting) const;

    // The context menu: the control's own items, then the setting's.
    [[nodiscard]] QMenu *createMenu();

    // The mark of a control, if it has one.
    static SettingMark *of(const QWidget *control);

private:
    void explain();
    void openMenu(const QPoint &where);

    ConfigDocument &document_;
    const Setting *shown_;
    std::vector<std::pair<const Setting *, std::function<void()>>> showable_;
};

// The control text: the key, the factory value, the allowed values.
QString SettingToolTip(const Setting &setting);
// The last part of the setting's caption, which its control is named by.
QString SettingControlName(const Setting &setting);

} // namespace q51
