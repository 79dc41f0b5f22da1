// The exchange engine's support for long replies: a settling time before
// the first part is judged, a reply continued part by part with its own
// waits, and the progress it reports, over the fake port.

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "link/exchange.h"
#include "link/fake_transport.h"
#include "support/scaled_intervals.h"

using namespace q51;
using test::ScaledIntervals;

Q_DECLARE_METATYPE(q51::Interval)

namespace {

ExchangeResult resultOf(const QSignalSpy &spy)
{
    return spy.first().first().value<ExchangeResult>();
}

// Takes later parts until one holds 'Z'; then the verdict is 5.
struct Rest {
    QList<QByteArray> parts;
    std::function<std::optional<int>(const QByteArray &)> take()
    {
        return [this](const QByteArray &chunk) -> std::optional<int> {
            parts.append(chunk);
            return chunk.contains('Z') ? std::optional<int>(5) : std::nullopt;
        };
    }
};

} // namespace

class ExchangeContinuationTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeTransport> port;
    QList<QByteArray> judged;
    Rest rest;

    Exchange::Request request(int firstVerdict, bool continues, Interval firstWait = Interval::UploadReply,
                              Interval nextWait = Interval::UploadReply)
    {
        Exchange::Request r;
        r.bytes = QByteArray("\x02\xC0\x03\xC1", 4);
        r.threshold = 1;
        r.timeout = Interval::UploadReply;
        r.judge = [this, firstVerdict](const QByteArray &reply) {
            judged.append(reply);
            return firstVerdict;
        };
        r.continuation = [this, continues, firstWait, nextWait](int) -> std::optional<Exchange::Continuation> {
            if (!continues)
                return std::nullopt;
            return Exchange::Continuation{firstWait, nextWait, rest.take()};
        };
        return r;
    }

    void deliver(const QByteArray &chunk)
    {
        QSignalSpy arrivals(port.get(), &Transport::bytesArrived);
        port->pushReply(chunk);
        QVERIFY(arrivals.wait(1000));
    }

private slots:
    void serviceIntervalsHoldTheRealValues_data()
    {
        QTest::addColumn<Interval>("interval");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("firmware access") << Interval::IspAccessReply << 5000;
        QTest::newRow("firmware erase") << Interval::IspEraseReply << 5000;
        QTest::newRow("firmware page") << Interval::IspPageReply << 3000;
        QTest::newRow("firmware short wait") << Interval::IspShortWait << 5;
        QTest::newRow("firmware page pause") << Interval::IspPagePause << 200;
        QTest::newRow("read first byte") << Interval::GroupDataReply << 10000;
        QTest::newRow("settling") << Interval::StoredReplySettle << 100;
        QTest::newRow("rest of a read") << Interval::GroupDataRestFirst << 65535;
        QTest::newRow("rest of a read after a part") << Interval::GroupDataRestNext << 60000;
        QTest::newRow("group sizes") << Interval::GroupSizesReply << 5000;
        QTest::newRow("free space") << Interval::FreeSpaceReply << 10000;
        QTest::newRow("clear") << Interval::ClearReply << 10000;
        QTest::newRow("test window batch") << Interval::TestWindowBatch << 200;
        QTest::newRow("station poll") << Interval::StationPoll << 500;
    }
    void serviceIntervalsHoldTheRealValues()
    {
        QFETCH(Interval, interval);
        QFETCH(int, milliseconds);
        QCOMPARE(nominalInterval(interval).count(), milliseconds);
    }

    void init()
    {
        port = std::make_unique<FakeTransport>();
        QVERIFY(port->open(SerialSettings{}, 1));
        judged.clear();
        rest = {};
    }

    void settlingGathersTheFirstPart()
    {
        ScaledIntervals real(1.0); // 100 ms: the pieces below arrive well within it
        Exchange::Request r = request(1, false);
        r.settle = Interval::StoredReplySettle;
        Exchange exchange(*port, std::move(r));
        QSignalSpy finished(&exchange, &Exchange::finished);
        QElapsedTimer clock;
        clock.start();
        exchange.start();
        port->pushReply("\x06\x02");
        port->pushReply("\x61");
        port->pushReply(QByteArray("\x00\x06", 2));
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() >= nominalInterval(Interval::StoredReplySettle).count());
        QCOMPARE(judged, QList<QByteArray>{QByteArray("\x06\x02\x61\x00\x06", 5)});
        QCOMPARE(resultOf(finished).end, ExchangeEnd::Judged);
        QVERIFY(!resultOf(finished).continued);
    }

    void laterPartsGoToTheContinuation()
    {
        ScaledIntervals scale(0.01);
        // Each later part restarts the wait with the next one's time: the
        // parts below come in after the first wait would have run out.
        Exchange exchange(*port, request(1, true, Interval::UploadReply, Interval::GroupDataRestNext));
        QSignalSpy finished(&exchange, &Exchange::finished);
        QSignalSpy progressed(&exchange, &Exchange::progressed);
        exchange.start();
        deliver("\x06\x02\x61");
        QCOMPARE(judged.size(), 1);
        for (const char *part : {"ab", "cd", "ef"}) {
            QTest::qWait(int(scaledInterval(Interval::UploadReply).count()) / 2);
            deliver(part);
        }
        QCOMPARE(finished.count(), 0);
        deliver("gZ");
        QCOMPARE(finished.count(), 1);
        const ExchangeResult result = resultOf(finished);
        QCOMPARE(result.end, ExchangeEnd::Judged);
        QCOMPARE(result.verdict, 5);
        QVERIFY(result.continued);
        QCOMPARE(result.reply, QByteArray("\x06\x02\x61" "abcdefgZ"));
        QCOMPARE(rest.parts, (QList<QByteArray>{"ab", "cd", "ef", "gZ"}));
        QCOMPARE(judged.size(), 1);
        QList<qsizetype> counts;
        for (const auto &signal : progressed)
            counts << signal.first().value<qsizetype>();
        QCOMPARE(counts, (QList<qsizetype>{3, 5, 7, 9, 11}));
    }

    void noContinuationEndsAtTheVerdict()
    {
        ScaledIntervals scale(0.01);
        Exchange exchange(*port, request(4, false));
        QSignalSpy finished(&exchange, &Exchange::finished);
        exchange.start();
        deliver("\x15");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(resultOf(finished).verdict, 4);
        QVERIFY(!resultOf(finished).continued);
        QVERIFY(rest.parts.isEmpty());
    }

    void restThatNeverComesTimesOutWithTheFirstVerdict()
    {
        ScaledIntervals scale(0.01);
        Exchange exchange(*port, request(1, true, Interval::UploadReply, Interval::UploadReply));
        QSignalSpy finished(&exchange, &Exchange::finished);
        exchange.start();
        QElapsedTimer clock;
        deliver("\x06\x02\x61");
        clock.start();
        QVERIFY(finished.wait(5000));
        QVERIFY(clock.elapsed() >= scaledInterval(Interval::UploadReply).count() - 1);
        const ExchangeResult result = resultOf(finished);
        QCOMPARE(result.end, ExchangeEnd::TimedOut);
        QVERIFY(result.continued);
        QCOMPARE(result.verdict, 1);
    }

    void firstPartThatNeverComesIsAPlainTimeout()
    {
        ScaledIntervals scale(0.01);
        Exchange exchange(*port, request(1, true));
        QSignalSpy finished(&exchange, &Exchange::finished);
        exchange.start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(resultOf(finished).end, ExchangeEnd::TimedOut);
        QVERIFY(!resultOf(finished).continued);
        QVERIFY(judged.isEmpty());
    }

    void portLostWhileTheRestIsDue()
    {
        ScaledIntervals scale(1.0);
        Exchange exchange(*port, request(1, true));
        QSignalSpy finished(&exchange, &Exchange::finished);
        exchange.start();
        deliver("\x06\x02\x61");
        deliver("ab");
        port->loseConnection();
        QVERIFY(finished.wait(5000));
        QCOMPARE(resultOf(finished).end, ExchangeEnd::PortLost);
        QVERIFY(resultOf(finished).continued);
    }

    void abortWhileSettlingOrContinuingIsSilent()
    {
        ScaledIntervals scale(0.01);
        for (const bool settling : {true, false}) {
            Exchange::Request r = request(1, true);
            if (settling)
                r.settle = Interval::UploadReply;
            auto exchange = std::make_unique<Exchange>(*port, std::move(r));
            QSignalSpy finished(exchange.get(), &Exchange::finished);
            exchange->start();
            deliver("\x06\x02\x61");
            exchange->abort();
            port->pushReply("Z");
            QTest::qWait(int(scaledInterval(Interval::UploadReply).count()) * 3);
            QCOMPARE(finished.count(), 0);
            QVERIFY(rest.parts.isEmpty());
            QCOMPARE(judged.isEmpty(), settling);
            judged.clear();
        }
    }
};

QTEST_MAIN(ExchangeContinuationTest)
#include "tst_exchange_continuation.moc"
