// The exchange engine over the fake port: replies in any number of chunks,
// the threshold, the timeout, a port lost mid-reply, and ending early.

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "link/exchange.h"
#include "link/fake_transport.h"

using namespace q51;

Q_DECLARE_METATYPE(q51::Interval)

namespace {

using Chunks = QList<QByteArray>;

QByteArray filler(int size, char first = '\x06')
{
    QByteArray bytes(size, '\x5A');
    if (size > 0)
        bytes[0] = first;
    return bytes;
}

// Records every call of the judge and answers with a fixed verdict.
struct JudgeLog {
    QList<QByteArray> calls;
    Exchange::Judge judge(int verdict)
    {
        return [this, verdict](const QByteArray &reply) {
            calls.append(reply);
            return verdict;
        };
    }
};

// Tests that expect a reply run with the real intervals, so that a busy
// machine cannot turn them into timeouts; replies end them at once anyway.
class RealIntervals {
public:
    RealIntervals() : saved_(intervalScale()) { setIntervalScale(1.0); }
    ~RealIntervals() { setIntervalScale(saved_); }

private:
    double saved_;
};

ExchangeResult resultOf(const QSignalSpy &spy)
{
    return spy.first().first().value<ExchangeResult>();
}

} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeTransport> port;
    JudgeLog log;

    std::unique_ptr<Exchange> makeExchange(int threshold, Interval timeout = Interval::UploadReply)
    {
        return std::make_unique<Exchange>(
            *port, Exchange::Request{QByteArray("\x02\x80\x03\x81", 4), threshold, timeout, log.judge(7)});
    }

    // Sends a chunk and returns once the port has announced it, by which time
    // the exchange, connected before the spy, has taken it.
    void deliver(const QByteArray &chunk)
    {
        QSignalSpy arrivals(port.get(), &Transport::bytesArrived);
        port->pushReply(chunk);
        QVERIFY(arrivals.wait(1000));
    }

    // Long enough for any scaled timeout of the table to have fired.
    static void waitPastEveryTimeout() { QTest::qWait(int(scaledInterval(Interval::UploadReply).count()) * 3); }

private slots:
    void initTestCase() { setIntervalScale(0.01); }

    void init()
    {
        port = std::make_unique<FakeTransport>();
        QVERIFY(port->open(SerialSettings{}, 1));
        log = {};
    }

    void intervalTableHoldsTheRealValues_data()
    {
        QTest::addColumn<Interval>("interval");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("download reply") << Interval::DownloadReply << 5000;
        QTest::newRow("upload reply") << Interval::UploadReply << 5000;
        QTest::newRow("version reply") << Interval::VersionReply << 3000;
    }
    void intervalTableHoldsTheRealValues()
    {
        QFETCH(Interval, interval);
        QFETCH(int, milliseconds);
        QCOMPARE(nominalInterval(interval).count(), milliseconds);
        QCOMPARE(scaledInterval(interval).count(), qRound(milliseconds * 0.01));
    }

    void thresholdReached_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<Chunks>("chunks");
        const QByteArray upload = filler(262);
        QTest::newRow("acknowledge byte") << 1 << Chunks{"\x06"};
        QTest::newRow("refusal byte") << 1 << Chunks{"\x15"};
        QTest::newRow("first chunk beyond threshold: judged whole") << 1 << Chunks{"\x06\x02\x01"};
        QTest::newRow("upload in one chunk") << 262 << Chunks{upload};
        QTest::newRow("upload byte by byte at the start")
            << 262 << Chunks{upload.left(1), upload.mid(1, 1), upload.mid(2, 1), upload.mid(3)};
        QTest::newRow("upload in uneven chunks")
            << 262 << Chunks{upload.left(100), upload.mid(100, 161), upload.mid(261)};
        QTest::newRow("version reply with extra bytes") << 36 << Chunks{filler(20), filler(20)};
    }
    void thresholdReached()
    {
        QFETCH(int, threshold);
        QFETCH(Chunks, chunks);
        RealIntervals relaxed;
        auto exchange = makeExchange(threshold);
        QSignalSpy finished(exchange.get(), &Exchange::finished);
        exchange->start();
        QCOMPARE(port->writes(), QList<QByteArray>{QByteArray("\x02\x80\x03\x81", 4)});
        QCOMPARE(port->receiveDiscards(), 1);

        QByteArray sent;
        for (const QByteArray &chunk : chunks) {
            QVERIFY2(log.calls.isEmpty(), "judged before the threshold was reached");
            deliver(chunk);
            sent += chunk;
        }
        QCOMPARE(finished.count(), 1);
        QCOMPARE(log.calls, QList<QByteArray>{sent});

        // Bytes after the verdict change nothing.
        port->pushReply("\x06");
        QTest::qWait(20);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(log.calls.size(), 1);
        const ExchangeResult result = resultOf(finished);
        QCOMPARE(result.end, ExchangeEnd::Judged);
        QCOMPARE(result.verdict, 7);
        QCOMPARE(result.reply, sent);
    }

    void tooFewBytesInTimeIsTimeout_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("silence") << 1 << QByteArray();
        QTest::newRow("lone refusal byte for an upload") << 262 << QByteArray("\x15");
        QTest::newRow("one byte short") << 262 << filler(261);
    }
    void tooFewBytesInTimeIsTimeout()
    {
        QFETCH(int, threshold);
        QFETCH(QByteArray, reply);
        auto exchange = makeExchange(threshold);
        QSignalSpy finished(exchange.get(), &Exchange::finished);
        QElapsedTimer clock;
        clock.start();
        exchange->start();
        if (!reply.isEmpty())
            port->pushReply(reply);
        QVERIFY(finished.wait(2000));
        // Never before the decoder's full time (a coarse timer fires early).
        QVERIFY(clock.elapsed() >= scaledInterval(Interval::UploadReply).count());
        QCOMPARE(finished.count(), 1);
        QVERIFY(log.calls.isEmpty());
        QCOMPARE(resultOf(finished).end, ExchangeEnd::TimedOut);
        QCOMPARE(resultOf(finished).reply, reply);
        QVERIFY(!exchange->isRunning());
    }

    void lateReplyIsNotTakenForTheNextOne()
    {
        auto first = makeExchange(1, Interval::DownloadReply);
        QSignalSpy firstDone(first.get(), &Exchange::finished);
        first->start();
        QVERIFY(firstDone.wait(2000));
        QCOMPARE(resultOf(firstDone).end, ExchangeEnd::TimedOut);

        port->pushReply("\x06"); // the decoder answers the first request, too late
        QTest::qWait(10);

        RealIntervals relaxed;
        auto second = makeExchange(1, Interval::DownloadReply);
        QSignalSpy secondDone(second.get(), &Exchange::finished);
        second->start();
        port->pushReply("\x15");
        QVERIFY(secondDone.wait(2000));
        QCOMPARE(resultOf(secondDone).end, ExchangeEnd::Judged);
        QCOMPARE(log.calls, QList<QByteArray>{"\x15"});
    }

    void portLostMidReply()
    {
        RealIntervals relaxed;
        auto exchange = makeExchange(262);
        QSignalSpy finished(exchange.get(), &Exchange::finished);
        exchange->start();
        deliver(filler(100));
        port->loseConnection();
        QVERIFY(finished.wait(2000));
        QTest::qWait(20);
        QCOMPARE(finished.count(), 1);
        QVERIFY(log.calls.isEmpty());
        QCOMPARE(resultOf(finished).end, ExchangeEnd::PortLost);
        QCOMPARE(resultOf(finished).reply, filler(100));
    }

    void verdictStopsTheTimer()
    {
        auto exchange = makeExchange(1);
        QSignalSpy finished(exchange.get(), &Exchange::finished);
        exchange->start();
        port->pushReply("\x06"); // posted before the timer can fire, so it is seen first
        QVERIFY(finished.wait(2000));
        waitPastEveryTimeout();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(resultOf(finished).end, ExchangeEnd::Judged);
    }

    void closedPortEndsAsLostButNotInsideStart()
    {
        port->close();
        auto exchange = makeExchange(1);
        QSignalSpy finished(exchange.get(), &Exchange::finished);
        exchange->start();
        QCOMPARE(finished.count(), 0); // the caller finishes its own set-up first
        QVERIFY(finished.wait(2000));
        waitPastEveryTimeout();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(resultOf(finished).end, ExchangeEnd::PortLost);
    }

    void endingEarlyIsSilent_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("abort before start") << "abort before start";
        QTest::newRow("abort while waiting") << "abort while waiting";
        QTest::newRow("abort with the write failure pending") << "abort pending failure";
        QTest::newRow("delete while waiting") << "delete while waiting";
        QTest::newRow("port destroyed while waiting") << "destroy port";
    }
    void endingEarlyIsSilent()
    {
        QFETCH(QString, how);
        int finishedCount = 0;
        QPointer<Exchange> exchange = makeExchange(262).release();
        connect(exchange, &Exchange::finished, this, [&] { ++finishedCount; });

        if (how == u"abort before start") {
            exchange->abort();
            exchange->start();
        } else if (how == u"abort pending failure") {
            port->close();
            exchange->start();
            exchange->abort();
        } else {
            exchange->start();
            deliver(filler(100));
            if (how == u"abort while waiting")
                exchange->abort();
            else if (how == u"delete while waiting")
                delete exchange.data();
            else
                port.reset();
        }
        if (exchange)
            QVERIFY(!exchange->isRunning());
        if (port) {
            port->pushReply(filler(262));
            port->loseConnection();
        }
        waitPastEveryTimeout();
        QCOMPARE(finishedCount, 0);
        QVERIFY(log.calls.isEmpty());
        delete exchange.data();
    }

    void handlerMayDeleteTheExchange_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("judged") << QByteArray("\x06");
        QTest::newRow("timed out") << QByteArray();
    }
    void handlerMayDeleteTheExchange()
    {
        QFETCH(QByteArray, reply);
        QPointer<Exchange> exchange = makeExchange(1).release();
        int finishedCount = 0;
        connect(exchange, &Exchange::finished, exchange, [&] {
            ++finishedCount;
            exchange->abort(); // aborting a finished exchange changes nothing
            exchange->deleteLater();
        });
        exchange->start();
        if (!reply.isEmpty())
            port->pushReply(reply);
        QTRY_VERIFY(exchange.isNull());
        QCOMPARE(finishedCount, 1);
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
