#pragma once
// Typing any character into a widget: QTest::keyClicks only sends Latin-1.
// Each character (a surrogate pair counts as one) is one key press.

#include <QTest>

namespace q51::test {

inline void typeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

} // namespace q51::test
