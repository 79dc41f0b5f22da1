#pragma once
// Text checked against a golden file reviewed by hand. Set
// Q51_UPDATE_GOLDEN=1 to rewrite the file after a deliberate change, then
// review the git diff.

#include <QFile>
#include <QTest>

namespace q51::test {

inline void CompareWithGolden(const std::string &actual, const QString &path)
{
    if (qEnvironmentVariableIntValue("Q51_UPDATE_GOLDEN") == 1) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(actual.data(), qint64(actual.size()));
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    QCOMPARE(QByteArray::fromStdString(actual), file.readAll());
}

} // namespace q51::test
