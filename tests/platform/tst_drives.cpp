#include "platform/Drives.h"

#include <QTest>

#include <future>
#include <memory>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(Drives::Kind)

class TestDrives : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void slowDriveIsNotReady();
};

void TestDrives::kinds_data() {
    QTest::addColumn<unsigned>("type");
    QTest::addColumn<Drives::Kind>("kind");
    QTest::newRow("unknown") << 0u << Drives::Kind::Fixed;
    QTest::newRow("no root") << 1u << Drives::Kind::Fixed;
    QTest::newRow("removable") << 2u << Drives::Kind::Removable;
    QTest::newRow("fixed") << 3u << Drives::Kind::Fixed;
    QTest::newRow("network") << 4u << Drives::Kind::Network;
    QTest::newRow("optical") << 5u << Drives::Kind::Optical;
    QTest::newRow("ram disk") << 6u << Drives::Kind::Fixed;
}

void TestDrives::kinds() {
    QFETCH(unsigned, type);
    QTEST(Drives::kindOfDriveType(type), "kind");
}

// A drive that does not answer in time is taken as not ready, and the caller is not held: the
// slow check here ends only once the caller has had its answer, so a caller that waited for it
// would never get one.
void TestDrives::slowDriveIsNotReady() {
    QVERIFY(Drives::answersWithin([] { return true; }, 5s));
    QVERIFY(!Drives::answersWithin([] { return false; }, 5s));
    auto answered = std::make_shared<std::promise<void>>();
    auto ended = std::make_shared<std::promise<void>>();
    std::future<void> checkEnded = ended->get_future();
    QVERIFY(!Drives::answersWithin(
        [callerAnswered = answered->get_future().share(), ended] {
            callerAnswered.wait();
            ended->set_value();
            return true;
        },
        20ms));
    answered->set_value();
    checkEnded.wait(); // the check ends before the test does
}

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
