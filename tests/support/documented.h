#pragma once
// A page or control built on its own document over a test's configuration,
// as the window builds it over the run's: the test keeps reading and
// setting the configuration itself.

#include <utility>

#include "document/config_document.h"

namespace q51::test {

struct DocumentOver {
    explicit DocumentOver(Configuration &config) : document(config) {}
    ConfigDocument document;
};

template <typename Widget>
class Documented : public DocumentOver, public Widget {
public:
    template <typename... Rest>
    explicit Documented(Configuration &config, Rest &&...rest)
        : DocumentOver(config), Widget(document, std::forward<Rest>(rest)...)
    {
    }
};

} // namespace q51::test
