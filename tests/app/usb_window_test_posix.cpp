// The USB load of the window against the reader's twin, which stands behind
// a pseudo-terminal and a sysfs tree of the test's own.
#include <QAction>
#include <QtTest>

#include "sim/image_generator.h"
#include "sim/usb_reader_twin.h"
#include "tests/app/window_fixture.h"

namespace zorvek {

class UsbWindowTest : public test::WindowFixture {
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
        const bool loaded = message.isEmpty();
        QCOMPARE(m_dialogs.messages, loaded ? QStringList{} : QStringList{message});
        QCOMPARE(m_program->GetSession().saveState,
                 loaded ? Session::SaveState::Unsaved : Session::SaveState::Nothing);
        QCOMPARE(MenuShown("N5"), loaded);
        QCOMPARE(Item("N12")->isEnabled(), loaded);
        if (loaded) QCOMPARE(test::ReadBytes(test::Path(*m_dir, "dannie.krd")), image);
        if (unplugInTheCopy) QTRY_VERIFY_WITH_TIMEOUT(!Item("USB1")->isEnabled(), 5000);
    }
};

}  // namespace zorvek

QTEST_MAIN(zorvek::UsbWindowTest)
#include "usb_window_test_posix.moc"
