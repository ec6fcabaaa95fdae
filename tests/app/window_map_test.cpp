// The windows as a bare X server maps them, with no window manager to size
// or name them: the X server's own account of each window's size and
// caption, read with xwininfo and xprop.
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "access/program_location.h"
#include "app/program.h"
#include "tests/support/scripted_dialogs.h"

namespace zorvek {
namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(5000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QSize MappedSize(const QWidget& window) {
    const QString info = Run("xwininfo", {"-id", QString::number(window.winId())});
    const auto number = [&info](const char* name) {
        return QRegularExpression(QString(name) + ":\\s+(\\d+)").match(info).captured(1).toInt();
    };
    return {number("Width"), number("Height")};
}

QString MappedCaption(const QWidget& window) {
    const QString property = Run("xprop", {"-id", QString::number(window.winId()), "_NET_WM_NAME"});
    return QRegularExpression("= \"(.*)\"\\n").match(property).captured(1);
}

}  // namespace

class WindowMapTest : public QObject {
    Q_OBJECT

  private slots:
    void windowsMapAtTheirSizeUnderTheirExactCaption_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("client");
        const QString main = QStringLiteral("Информация для отчёта. Верия программы: 55AA0502");
        QTest::newRow("main") << QString() << main << QSize(490, 393);
        // The load at start runs while the window is being mapped.
        QTest::newRow("main with a dump file")
            << ZORVEK_SAMPLES_DIR "/dannie.krd" << main << QSize(490, 393);
        QTest::newRow("options") << QString() << QStringLiteral("Опции") << QSize(360, 328);
    }
    void windowsMapAtTheirSizeUnderTheirExactCaption() {
        QFETCH(QString, argument);
        QFETCH(QString, caption);
        QFETCH(QSize, client);
        test::ScriptedDialogs dialogs;
        Program::Settings settings;
        if (!argument.isEmpty()) settings.arguments = {argument.toStdString()};
        settings.data = DataDirectory();
        Program program(dialogs, std::move(settings));
        TInfo_Form& main = program.Info_Form();
        main.show();
        QWidget* window = &main;
        if (QByteArray(QTest::currentDataTag()) == "options") {
            QVERIFY(QTest::qWaitForWindowExposed(&main));
            main.Item("N14")->trigger();
            window = &program.Form3();
        } else {
            // The menu bar lies above the client area.
            client.rheight() += main.menuBar()->height();
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::qWait(200);  // anything that would still move or size it
        QCOMPARE(MappedSize(*window), client);
        QCOMPARE(MappedCaption(*window), caption);
        QVERIFY(dialogs.messages.isEmpty());
    }
};

}  // namespace zorvek

QTEST_MAIN(zorvek::WindowMapTest)
#include "window_map_test.moc"
