#include "pages/pending_page.h"

#include <QLabel>
#include <QVBoxLayout>

#include "schema/page_catalog.h"

namespace q51 {

PendingPage::PendingPage(const ChildWindowInfo &info, QWidget *parent) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(info.objectName));
    setWindowTitle(QString::fromLatin1(info.caption));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("The controls of this page are not available in this version."), this);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addStretch();
    setMinimumSize(360, 200);
}

} // namespace q51
