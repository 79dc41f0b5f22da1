#pragma once
// Page 3, "Bar Codes and Others": which symbologies the decoder reads, and
// each symbology's check digit, options and code lengths.

#include <vector>

#include "pages/binding/parameter_page.h"

namespace q51 {

class CodeLengthGroup;
class UserDialogs;

class BarCodePage : public ParameterPage {
    Q_OBJECT
public:
    BarCodePage(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent = nullptr);

    // Slots 2 to 17 that have controls, ascending.
    [[nodiscard]] const std::vector<CodeLengthGroup *> &lengthGroups() const { return lengthGroups_; }

private:
    void addListButtons(FieldPanel &list);
    void setAllListEntries(bool ticked);
    void followEnableRules();
    void load();

    std::vector<CodeLengthGroup *> lengthGroups_;
};

} // namespace q51
