#pragma once
// Brings a setting's control into view on an open page: the edit group or
// tab that holds it is shown and the control takes the focus, so the
// accessible focus follows.

class QWidget;

namespace q51 {

struct Setting;

// False when the page has no enabled control for the setting.
bool FocusSettingControl(QWidget *page, const Setting &setting);

} // namespace q51
