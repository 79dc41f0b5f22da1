#pragma once
// Page 2, "Communication Parameters": four panels, all generated from the
// field tables.

#include "pages/binding/parameter_page.h"

namespace q51 {

class CommunicationPage : public ParameterPage {
    Q_OBJECT
public:
    explicit CommunicationPage(ConfigDocument &document, QWidget *parent = nullptr);
};

} // namespace q51
