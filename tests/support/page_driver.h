#pragma once
// Drives a page through its widgets, by control name and caption, as a
// user would.

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace q51::test {

inline QAbstractButton *option(QWidget *page, const char *group, const char *caption)
{
    auto *box = page->findChild<QGroupBox *>(QString::fromLatin1(group));
    if (!box)
        return nullptr;
    for (auto *b : box->findChildren<QRadioButton *>()) {
        if (b->text() == QString::fromUtf8(caption))
            return b;
    }
    return nullptr;
}

// Clicks the option; false when there is no such option.
inline bool choose(QWidget *page, const char *group, const char *caption)
{
    QAbstractButton *b = option(page, group, caption);
    if (!b)
        return false;
    b->click();
    return true;
}

// Caption of the checked option of a group, empty when none is checked.
inline QString chosen(QWidget *page, const char *group)
{
    auto *box = page->findChild<QGroupBox *>(QString::fromLatin1(group));
    if (!box)
        return QStringLiteral("<no group>");
    for (auto *b : box->findChildren<QRadioButton *>()) {
        if (b->isChecked())
            return b->text();
    }
    return {};
}

inline void press(QWidget *page, const char *button)
{
    page->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

} // namespace q51::test
