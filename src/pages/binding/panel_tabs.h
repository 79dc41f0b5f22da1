#pragma once
// The tab strip of a page. A page with many panels lists its tabs down the
// side, captions written level, so that every panel is in view at once
// rather than behind scroll arrows.

#include <QTabWidget>

namespace q51 {

class PanelTabs final : public QTabWidget {
    Q_OBJECT
public:
    enum class Placement { Top, Side };
    PanelTabs(Placement placement, QWidget *parent);
};

} // namespace q51
