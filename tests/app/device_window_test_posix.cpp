// The window's device loads against the devices' twins: the recorder behind
// a pseudo-terminal at its line's pace, the LPT reader's register twin, the
// USB reader behind a pseudo-terminal and a sysfs tree of the test's own.
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "access/lpt_reader.h"
#include "access/recorder_source.h"
#include "access/serial_port.h"
#include "sim/image_generator.h"
#include "sim/lpt_reader_twin.h"
#include "sim/recorder_line.h"
#include "sim/usb_reader_twin.h"
#include "tests/app/window_fixture.h"

namespace zorvek {

class DeviceWindowTest : public test::WindowFixture {
    Q_OBJECT

  private slots:
    void cleanup() { Finish(); }

    // The reader's twin behind the test's sysfs tree: the watcher finds it
    // on its timer, the handshake enables USB1, Ctrl+U loads through it.
    void usbReaderEnablesItsCommandAndCtrlULoadsThroughIt_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("unplugInTheCopy");
        QTest::addColumn<QString>("message");
        using V = sim::ImageVariant;
        QTest::newRow("whole copy") << int(V::Valid) << false << QString();
        QTest::newRow("unplugged in the copy")
            << int(V::Valid) << true << QStringLiteral("Ошибка чтения данных!");
        QTest::newRow("no end mark")
            << int(V::NoEndMark) << false << QStringLiteral("Не верный формат данных!");
        QTest::newRow("another format") << int(V::WrongSignature) << false
                                        << QStringLiteral(
                                               "Не верный  формат  данных!\r\nВерия данных:      "
                                               "55AA0501\r\nВерия программы: 55AA0502");
    }
    void usbReaderEnablesItsCommandAndCtrlULoadsThroughIt() {
        QFETCH(int, variant);
        QFETCH(bool, unplugInTheCopy);
        QFETCH(QString, message);
        Start();
        QVERIFY(!Item("USB1")->isEnabled());
        const auto kind = sim::ImageVariant(variant);
        const auto image = sim::ImageFileBytes(sim::GenerateImage({.variant = kind}), kind);
        sim::UsbReaderTwin twin(image, {UsbRoot()});
        QTRY_VERIFY_WITH_TIMEOUT(Item("USB1")->isEnabled(), 5000);
        if (unplugInTheCopy) {
            twin.WithDevice(
                [](sim::UsbReaderDevice& d) { d.faults.unplugAfter = d.FramesSeen() + 30; });
        }
        Window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QTest::keyClick(&Window(), Qt::Key_U, Qt::ControlModifier);
        WaitForCommand();
        const bool loaded = message.isEmpty();
        QCOMPARE(m_dialogs.messages, loaded ? QStringList{} : QStringList{message});
        QCOMPARE(m_program->GetSession().saveState,
                 loaded ? Session::SaveState::Unsaved : Session::SaveState::Nothing);
        QCOMPARE(MenuShown("N5"), loaded);
        QCOMPARE(Item("N12")->isEnabled(), loaded);
        if (loaded) QCOMPARE(test::ReadBytes(test::Path(*m_dir, "dannie.krd")), image);
        if (unplugInTheCopy) QTRY_VERIFY_WITH_TIMEOUT(!Item("USB1")->isEnabled(), 5000);
    }

    // "Отмена" stops each device's read: the older dump file stays as it
    // was, nothing half-written is left, the device is closed within a
    // second, and the status line says so. Meanwhile the window's own
    // timer keeps its pace.
    void cancelStopsEachDevicesRead_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("escape");  // instead of a click on "Отмена"
        QTest::newRow("recorder, Esc") << "N9" << true;
        QTest::newRow("LPT reader") << "N10" << false;
        QTest::newRow("USB reader") << "USB1" << false;
    }
    void cancelStopsEachDevicesRead() {
        QFETCH(QString, command);
        QFETCH(bool, escape);
        Start();
        const std::vector<std::uint8_t> older(65536, 0x5A);
        test::WriteBytes(test::Path(*m_dir, "dannie.krd"), older);
        const auto image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
        CancellableWaits& waits = m_program->Waits();

        std::unique_ptr<sim::RecorderLine> line;
        std::unique_ptr<RecorderSource> recorder;
        std::unique_ptr<sim::LptReaderTwin> lptTwin;
        std::unique_ptr<LptReader> lptReader;
        std::unique_ptr<sim::UsbReaderTwin> usbTwin;
        std::function<bool()> deviceOpen = [] { return false; };
        Session& session = m_program->GetSession();
        if (command == "N9") {
            line = std::make_unique<sim::RecorderLine>(
                sim::RecorderTwin(sim::GenerateImage({}), {}, {}), 19200);
            line->Start();
            recorder = std::make_unique<RecorderSource>(
                MakeSystemSerialPort(waits), waits, [path = line->DevicePath()](int port) {
                    return port == 1 ? path : std::filesystem::path();
                });
            session.dispatch.AttachRecorder(recorder.get());
            deviceOpen = [&] { return recorder->Link().PortNumber() != 0; };
        } else if (command == "N10") {
            lptTwin = std::make_unique<sim::LptReaderTwin>(image, waits);
            lptReader = std::make_unique<LptReader>(*lptTwin, waits);
            session.dispatch.AttachLptReader(lptReader.get());
            deviceOpen = [&] { return lptTwin->LptAccessReady(); };
        } else {
            usbTwin =
                std::make_unique<sim::UsbReaderTwin>(image, sim::UsbReaderTwin::Options{UsbRoot()});
            QTRY_VERIFY_WITH_TIMEOUT(Item("USB1")->isEnabled(), 5000);
        }

        QElapsedTimer sinceTick;
        qint64 longestStall = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this,
                [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
        Item(command.toLatin1().constData())->trigger();
        QVERIFY(Window().CancelButton()->isVisible());
        sinceTick.start();
        ticker.start(10);
        // The recorder is stopped in the middle of the image, the quick
        // readers at once.
        if (command == "N9") {
            // The format, the passport texts, then the image's frames.
            QTRY_VERIFY_WITH_TIMEOUT(line->Requests().size() >= 60, 20000);
        }
        QElapsedTimer released;
        released.start();
        if (escape) {
            Window().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&Window()));
            QTest::keyClick(&Window(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(Window().CancelButton(), Qt::LeftButton);
        }
        WaitForCommand();
        const qint64 releaseTime = released.elapsed();
        ticker.stop();
        std::printf(
            "%s: device released %lld ms after the cancel; longest stall of the window %lld ms\n",
            qPrintable(command), static_cast<long long>(releaseTime),
            static_cast<long long>(longestStall));
        QVERIFY(releaseTime < 1000);
        // The window's thread never waited on the device.
        QVERIFY2(longestStall < 250, qPrintable(QString::number(longestStall)));
        QVERIFY(!deviceOpen());
        QCOMPARE(test::ReadBytes(test::Path(*m_dir, "dannie.krd")), older);
        QCOMPARE(QDir(m_dir->path())
                     .entryList({"dannie.krd*", ".dannie*", "*.tmp"}, QDir::Files | QDir::Hidden),
                 QStringList{"dannie.krd"});
        QCOMPARE(Window().StatusLine()->text(), QStringLiteral("Чтение прервано"));
        QVERIFY(m_dialogs.messages.isEmpty() && m_dialogs.errors.isEmpty());
        QVERIFY(!MenuShown("N5"));
        QCOMPARE(session.saveState, Session::SaveState::Nothing);
        session.dispatch.AttachRecorder(nullptr);
        session.dispatch.AttachLptReader(nullptr);
    }
};

}  // namespace zorvek

QTEST_MAIN(zorvek::DeviceWindowTest)
#include "device_window_test_posix.moc"
