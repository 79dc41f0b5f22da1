#pragma once
// Page 1, "Interface": header strings, interface and reading mode.

#include "pages/binding/parameter_page.h"

class QLineEdit;
class QPlainTextEdit;

namespace q51 {

class InterfacePage : public ParameterPage {
    Q_OBJECT
public:
    explicit InterfacePage(ConfigDocument &document, QWidget *parent = nullptr);

private:
    QWidget *buildHeaderPanel();
};

} // namespace q51
