#include "schema/page_catalog.h"

namespace q51 {

const ChildWindowInfo *FindChildWindow(int page)
{
    for (const auto &info : ChildWindows) {
        if (info.page == page)
            return &info;
    }
    return nullptr;
}

} // namespace q51
