// The box the decoder types into: plain characters go straight in, every
// other key keeps the line edit's own meaning, and a watcher hears every
// keystroke so that a reply is taken the moment it is whole.

#include <QLineEdit>
#include <QTest>

#include <memory>

#include "tools/reply_line.h"

using namespace q51;

class ReplyBoxTest : public QObject {
    Q_OBJECT

private slots:
    void keystrokes_data();
    void keystrokes();
    void watcherHearsEveryKeystrokeAndClearing();
    void readOnlyBoxTakesNothing();
};

// A key with its modifiers, as the decoder or a user would press it.
struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
Q_DECLARE_METATYPE(QList<Key>)

void ReplyBoxTest::keystrokes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<Key>>("thenKeys");
    QTest::addColumn<QString>("text");
    QTest::newRow("hex digits and marks") << "02061D03S" << QList<Key>{} << "02061D03S";
    QTest::newRow("lower case and blanks") << "fw 2.05 p" << QList<Key>{} << "fw 2.05 p";
    QTest::newRow("backspace still deletes") << "ABC" << QList<Key>{{Qt::Key_Backspace}} << "AB";
    QTest::newRow("select all, then a character replaces all")
        << "ABC" << QList<Key>{{Qt::Key_A, Qt::ControlModifier}, {Qt::Key_X}} << "x";
}

void ReplyBoxTest::keystrokes()
{
    QFETCH(QString, typed);
    QFETCH(QList<Key>, thenKeys);
    QFETCH(QString, text);
    std::unique_ptr<QLineEdit> box(NewReplyLine(nullptr));
    QTest::keyClicks(box.get(), typed);
    for (const Key &k : thenKeys)
        QTest::keyClick(box.get(), k.key, k.modifiers);
    QCOMPARE(box->text(), text);
    QCOMPARE(ReplyBoxOf(box.get()).text(), text);
}

void ReplyBoxTest::watcherHearsEveryKeystrokeAndClearing()
{
    std::unique_ptr<QLineEdit> box(NewReplyLine(nullptr, QStringLiteral("Text2")));
    QCOMPARE(box->objectName(), QStringLiteral("Text1"));
    const ReplyBox reply = ReplyBoxOf(box.get());
    QObject context;
    QStringList seen;
    reply.watch(&context, [&] { seen << reply.text(); });

    reply.clearAndFocus();
    QTest::keyClicks(box.get(), QStringLiteral("P0"));
    QCOMPARE(seen, (QStringList{"", "P", "P0"}));
}

void ReplyBoxTest::readOnlyBoxTakesNothing()
{
    std::unique_ptr<QLineEdit> box(NewReplyLine(nullptr));
    box->setReadOnly(true);
    QTest::keyClicks(box.get(), QStringLiteral("AB"));
    QCOMPARE(box->text(), QString());
}

QTEST_MAIN(ReplyBoxTest)
#include "tst_reply_box.moc"
