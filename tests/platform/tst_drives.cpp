#include "platform/Drives.h"

#include <QTest>

#include <thread>

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

// A drive that does not answer in time is taken as not ready, and the caller is not held.
void TestDrives::slowDriveIsNotReady() {
    QVERIFY(Drives::answersWithin([] { return true; }, 5s));
    QVERIFY(!Drives::answersWithin([] { return false; }, 5s));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!Drives::answersWithin(
        [] {
            std::this_thread::sleep_for(300ms);
            return true;
        },
        20ms));
    QVERIFY(timer.elapsed() < 250);
    std::this_thread::sleep_for(400ms); // lets the slow check end before the test does
}

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
