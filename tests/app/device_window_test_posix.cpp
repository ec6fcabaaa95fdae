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
    void cleanup() {
        if (m_program) {
            m_program->GetSession().dispatch.AttachRecorder(nullptr);
            m_program->GetSession().dispatch.AttachLptReader(nullptr);
        }
        Finish();
        m_recorderSource.reset();
        m_line.reset();
        m_lptReader.reset();
        m_lptTwin.reset();
    }

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
        QCOMPARE(m_dialogs.messages.size(), loaded ? 0 : 1);
        if (!loaded) QVERIFY(m_dialogs.messages[0].startsWith(message));
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
        std::unique_ptr<sim::UsbReaderTwin> usbTwin;
        std::function<bool()> deviceOpen = [] { return false; };
        Session& session = m_program->GetSession();
        if (command == "N9") {
            AttachRecorderTwin("", 19200);
            deviceOpen = [&] { return m_recorderSource->Link().PortNumber() != 0; };
        } else if (command == "N10") {
            AttachLptTwin({});
            deviceOpen = [&] { return m_lptTwin->LptAccessReady(); };
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
            QTRY_VERIFY_WITH_TIMEOUT(m_line->Requests().size() >= 60, 20000);
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
    }

    // A device that fails before the image is read (the format, the
    // passport texts) says so in its box, with the reason.
    void anEarlyFailureShowsItsBox_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("faults");
        QTest::newRow("recorder, bad checksums at the format") << "N9"
                                                               << "bad-crc:2,bad-crc:3";
        QTest::newRow("recorder, lost frames at the passport") << "N9"
                                                               << "lose-byte:5,bad-header:6";
        QTest::newRow("LPT reader, no acknowledge at once") << "N10" << QString();
    }
    void anEarlyFailureShowsItsBox() {
        QFETCH(QString, command);
        QFETCH(QString, faults);
        Start();
        if (command == "N9") {
            AttachRecorderTwin(faults.toStdString(), 0);
        } else {
            sim::LptReaderTwinSetup setup;
            setup.nackAtByte = 1;
            AttachLptTwin(setup);
        }
        Run(command.toLatin1().constData());
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(
            m_dialogs.messages[0].startsWith(QStringLiteral("Ошибка чтения данных\r\nПричина: ")),
            qPrintable(m_dialogs.messages[0]));
        QVERIFY(!MenuShown("N5"));
        QCOMPARE(m_program->GetSession().dispatch.Kind(), SourceKind::None);
    }

    // Each device reads twice in one window, after a file was loaded: the
    // file is closed before the device is opened, every time.
    void aDeviceReadsAgainAfterAFileAndAfterItself_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("recorder") << "N9";
        QTest::newRow("LPT reader") << "N10";
        QTest::newRow("USB reader") << "USB1";
    }
    void aDeviceReadsAgainAfterAFileAndAfterItself() {
        QFETCH(QString, command);
        Start();
        const auto image = sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid);
        std::unique_ptr<sim::UsbReaderTwin> usbTwin;
        if (command == "N9") {
            AttachRecorderTwin("", 0);
        } else if (command == "N10") {
            AttachLptTwin({});
        } else {
            usbTwin =
                std::make_unique<sim::UsbReaderTwin>(image, sim::UsbReaderTwin::Options{UsbRoot()});
            QTRY_VERIFY_WITH_TIMEOUT(Item("USB1")->isEnabled(), 5000);
        }
        LoadSample();
        for (int read = 1; read <= 2; ++read) {
            const auto requestsBefore = m_line ? m_line->Requests().size() : 0;
            Run(command.toLatin1().constData());
            QVERIFY2(m_dialogs.messages.isEmpty(), qPrintable(m_dialogs.messages.join('|')));
            QCOMPARE(test::ReadBytes(test::Path(*m_dir, "dannie.krd")), image);
            QCOMPARE(m_program->GetSession().saveState, Session::SaveState::Unsaved);
            QVERIFY(MenuShown("N5"));
            if (m_line) QVERIFY(m_line->Requests().size() > requestsBefore + 1000);
        }
    }

  private:
    // The recorder's twin on port 1, at the line's pace (`baud`) or as fast
    // as the pseudo-terminal goes (0), with the program's own driver.
    void AttachRecorderTwin(const std::string& faults, std::uint32_t baud) {
        std::string error;
        const auto parsed = sim::ParseTwinFaults(faults, error);
        QVERIFY2(parsed, error.c_str());
        m_line = std::make_unique<sim::RecorderLine>(
            sim::RecorderTwin(sim::GenerateImage({}), {}, *parsed), baud);
        m_line->Start();
        CancellableWaits& waits = m_program->Waits();
        m_recorderSource = std::make_unique<RecorderSource>(
            MakeSystemSerialPort(waits), waits, [path = m_line->DevicePath()](int port) {
                return port == 1 ? path : std::filesystem::path();
            });
        m_program->GetSession().dispatch.AttachRecorder(m_recorderSource.get());
    }
    void AttachLptTwin(sim::LptReaderTwinSetup setup) {
        CancellableWaits& waits = m_program->Waits();
        m_lptTwin = std::make_unique<sim::LptReaderTwin>(
            sim::ImageFileBytes(sim::GenerateImage({}), sim::ImageVariant::Valid), waits, setup);
        m_lptReader = std::make_unique<LptReader>(*m_lptTwin, waits);
        m_program->GetSession().dispatch.AttachLptReader(m_lptReader.get());
    }

    std::unique_ptr<sim::RecorderLine> m_line;
    std::unique_ptr<RecorderSource> m_recorderSource;
    std::unique_ptr<sim::LptReaderTwin> m_lptTwin;
    std::unique_ptr<LptReader> m_lptReader;
};

}  // namespace zorvek

QTEST_MAIN(zorvek::DeviceWindowTest)
#include "device_window_test_posix.moc"
