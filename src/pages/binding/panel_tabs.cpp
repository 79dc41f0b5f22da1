#include "pages/binding/panel_tabs.h"

#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>

namespace q51 {

namespace {

// A tab bar on the west side whose captions read left to right: a style
// draws side tabs' text turned on end, which nobody reads easily.
class LevelCaptionTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override { return QTabBar::tabSizeHint(index).transposed(); }

    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab tab;
            initStyleOption(&tab, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, tab);
            // The label is drawn turned back by the quarter turn the style
            // will give it, into a rectangle of the turned shape.
            const QPoint centre = tab.rect.center();
            QRect label(QPoint(), tab.rect.size().transposed());
            label.moveCenter(centre);
            tab.rect = label;
            painter.save();
            painter.translate(centre);
            painter.rotate(90);
            painter.translate(-centre);
            painter.drawControl(QStyle::CE_TabBarTabLabel, tab);
            painter.restore();
        }
    }
};

} // namespace

PanelTabs::PanelTabs(Placement placement, QWidget *parent) : QTabWidget(parent)
{
    if (placement == Placement::Side) {
        setTabBar(new LevelCaptionTabBar(this));
        setTabPosition(QTabWidget::West);
    }
}

} // namespace q51
