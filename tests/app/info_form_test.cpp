// The window program driven as a user would, on every system.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <future>
#include <memory>
#include <optional>

#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "flows/document_table.h"
#include "model/cp1251.h"
#include "model/passport.h"
#include "sim/image_generator.h"
#include "tests/app/window_fixture.h"
#include "tests/support/file_size_limit.h"
#include "ui/paper_preview_form.h"

namespace zorvek {
namespace {

using Answer = ui::Dialogs::Answer;
using test::Path;
using test::ReadBytes;
using test::SampleImage;
using test::WriteBytes;

}  // namespace

class InfoFormTest : public test::WindowFixture {
    Q_OBJECT

  private slots:
    void cleanup() { Finish(); }

    void startUpShowsTheWindowsAndMenusAsTheyBegin() {
        Start();
        QCOMPARE(m_program->Reports().Title().Text(), QStringLiteral("ЗОРВЕК"));
        QCOMPARE(Window().windowTitle(),
                 QStringLiteral("Информация для отчёта. Верия программы: 55AA0502"));
        QCOMPARE(Window().centralWidget()->size(), QSize(490, 393));
        QStringList windows;
        for (QWidget* child : Window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow()) windows << child->objectName();
        }
        QCOMPARE(windows, (QStringList{"Form3", "Form2", "Form4", "Form5", "Form6"}));
        for (QWidget* window : {static_cast<QWidget*>(&m_program->Form3()),
                                static_cast<QWidget*>(&m_program->Form6())}) {
            QVERIFY(!window->isVisible());
        }

        QTableWidget* grid = Window().StringGrid1();
        QCOMPARE(grid->rowCount(), 20);
        QCOMPARE(grid->columnWidth(0), 220);
        QCOMPARE(grid->rowHeight(0), 17);
        QCOMPARE(grid->rowHeight(1), 19);
        // Every row and both columns whole, within the client area.
        QCOMPARE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
        QCOMPARE(grid->rowViewportPosition(19) + grid->rowHeight(19), grid->viewport()->height());
        QVERIFY(!grid->verticalScrollBar()->isVisible());
        QVERIFY(Window().centralWidget()->rect().contains(grid->geometry()));
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Владелец крана"));
        QCOMPARE(grid->item(18, 0)->text(), QStringLiteral("Специалист работавший с РП"));
        QVERIFY(grid->item(19, 0)->text().isEmpty());
        QVERIFY(!(grid->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(grid->item(0, 1)->flags() & Qt::ItemIsEditable);
        QVERIFY(!Window().ProgressBar1_()->isVisible());
        QVERIFY(!Window().StatusLine()->isVisible());
        QCOMPARE(Window().findChild<QPushButton*>("Button1")->text(), QStringLiteral("Закрыть"));
        QCOMPARE(Window().Timer1()->interval(), 20);
        QVERIFY(!Window().Timer1()->isActive());
    }

    void menuItemsHaveTheirCaptionsShortcutsAndStates_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        const auto row = [](const char* name, const char* caption, const char* shortcut,
                            bool enabled = true, bool visible = true) {
            QTest::newRow(name) << QString::fromUtf8(caption) << QString(shortcut) << enabled
                                << visible;
        };
        row("N3", "Загрузить данные из файла", "Ctrl+O");
        row("N9", "Загрузить данные из прибора", "Ctrl+P");
        row("N10", "Загрузить данные из прибора считывания (LPT)", "Ctrl+L");
        row("USB1", "Загрузить данные из прибора считывания (USB)", "Ctrl+U", false);
        row("XT1", "Загрузить информацию из Info.ini", "");
        row("N12", "Сохранить данные в файле", "Ctrl+S", false);
        row("N2", "Сохранить информацию в Info.ini", "");
        row("N13", "  Выход", "Ctrl+X");
        row("DocumentView1Item", "Документы", "");
        row("DocumentEditor1", "Открывать в редакторе (RTF/XLSX)", "");
        row("DocumentProgram1", "Показывать в программе (просмотр и печать)", "");
        row("N11", "       Форма 1", "");
        row("N41", "       Форма 4", "");
        row("N17", "Статистика по дискретным входам  (Приложение 2)", "");
        row("N14", "Информация о состояний крана за последние часы  (Приложение 3)", "");
        row("N16", "Информация о циклах в которых зафиксированно срабатывание защиты", "");
        row("Contents1", "&Прочти меня", "");
        row("N20", "Гистограмы в картинках", "", true, false);
        row("About1", "&О программе", "");
        row("N1Item", "&Файл", "");
        row("N5Item", "&Заполнить протоколы", "", true, false);
        row("N6Item", "&Приложения", "", true, false);
        row("Help1Item", "&Справка", "");
    }
    void menuItemsHaveTheirCaptionsShortcutsAndStates() {
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        Start();
        const QAction* item = Item(QTest::currentDataTag());
        QVERIFY(item);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut().toString(), shortcut);
        QCOMPARE(item->isVisible(), visible);
        if (visible) QCOMPARE(item->isEnabled(), enabled);
    }

    void commandLineChoosesTheCraneOrLoadsAFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("craneKind");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << QStringList{} << 10 << false << QString();
        QTest::newRow("kran") << QStringList{"kran"} << 1 << false << QString();
        QTest::newRow("bashnya") << QStringList{"bashnya"} << 2 << false << QString();
        QTest::newRow("truba") << QStringList{"truba"} << 3 << false << QString();
        QTest::newRow("case matters")
            << QStringList{"Kran"} << 0 << false << QStringLiteral("Файл не найден: Kran");
        QTest::newRow("path with a space")
            << QStringList{"my", "dump.krd"} << 0 << true << QString();
    }
    void commandLineChoosesTheCraneOrLoadsAFile() {
        QFETCH(QStringList, arguments);
        QFETCH(int, craneKind);
        QFETCH(bool, loaded);
        QFETCH(QString, message);
        // The file lies in the working folder, named with one space.
        QTemporaryDir folder;
        QDir::setCurrent(folder.path());
        WriteBytes(folder.filePath("my dump.krd"), SampleImage());
        std::vector<std::string> args;
        for (const QString& argument : arguments) args.push_back(argument.toStdString());
        m_program.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_dialogs = test::ScriptedDialogs();
        Program::Settings settings;
        settings.arguments = args;
        settings.documents = m_dir->filePath("documents").toStdString();
        settings.data = DataDirectory();
        m_program = std::make_unique<Program>(m_dialogs, std::move(settings));
        Window().show();
        QCOMPARE(m_program->GetSession().choice.craneKind, craneKind);
        QTRY_COMPARE(MenuShown("N5"), loaded);
        QTRY_COMPARE(m_dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(m_dialogs.messages, message.isEmpty() ? QStringList{} : QStringList{message});
        if (loaded) QVERIFY(!Window().StringGrid1()->item(0, 1)->text().isEmpty());
    }

    void loadFromFileFillsTheSheetAndShowsTheReportMenus() {
        Start();
        Item("N3")->trigger();  // cancelled: nothing happens
        QVERIFY(!Window().CommandRunning());
        QVERIFY(!MenuShown("N5"));
        QVERIFY(m_dialogs.messages.isEmpty());
        QCOMPARE(m_dialogs.lastOpenFilter,
                 QStringLiteral("Фалы данных накопителя (*.nkp *.krd *.bin)"));
        // The dialog starts among the user's documents, then where the last
        // file was chosen.
        QCOMPARE(m_dialogs.lastOpenFolder,
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        LoadSample();
        // Another Ctrl+O asks at once; cancelled, the image stays loaded.
        Item("N3")->trigger();
        QCOMPARE(m_dialogs.lastOpenFolder, QStringLiteral(ZORVEK_SAMPLES_DIR));
        QVERIFY(!Window().CommandRunning());
        QCOMPARE(m_program->GetSession().dispatch.Kind(), SourceKind::DumpFile);
        QVERIFY(MenuShown("N5"));
        // Chosen, the new file replaces it in one step.
        WriteBytes(Path(*m_dir, "other.krd"), SampleImage());
        m_dialogs.openNames.push_back(Path(*m_dir, "other.krd"));
        Run("N3");
        QCOMPARE(m_program->GetSession().dumpFile.FileName(),
                 std::filesystem::path(Path(*m_dir, "other.krd").toStdString()));
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(MenuShown("N5"));
        QVERIFY(Item("N20")->isVisible());
        QVERIFY(!Item("N12")->isEnabled());
        const PassportSheet& sheet = m_program->GetSession().sheet;
        QCOMPARE(Window().StringGrid1()->item(1, 1)->text(),
                 QString::fromStdString(Utf8FromCp1251(sheet.Value(1))));
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void anUnusableDumpFileIsNamedInTheMessage_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("other format") << 65536
                                      << QStringLiteral(
                                             "Не верный  формат  данных!\r\nВерия данных:      "
                                             "55AA0501\r\nВерия программы: 55AA0502");
        QTest::newRow("a byte short") << 65535
                                      << QStringLiteral(
                                             " не образ накопителя: его размер 65535 "
                                             "байт, а образ занимает ровно 65536 байт.");
    }
    void anUnusableDumpFileIsNamedInTheMessage() {
        QFETCH(int, size);
        QFETCH(QString, message);
        Start();
        std::vector<std::uint8_t> image = SampleImage();
        image[0] = 0x01;
        image.resize(std::size_t(size));
        WriteBytes(Path(*m_dir, "old.krd"), image);
        m_dialogs.openNames.push_back(Path(*m_dir, "old.krd"));
        Run("N3");
        if (size != 65536) message.prepend(QStringLiteral("Файл ") + Path(*m_dir, "old.krd"));
        QCOMPARE(m_dialogs.messages, QStringList{message});
        QVERIFY(!MenuShown("N5"));
    }

    void deviceCommandsWithoutAnAnswerSayThereIsNoConnection_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("N9") << QStringLiteral("   Нет связи с прибором");
        QTest::newRow("N10") << QStringLiteral("Нет связи с прибором считывания");
    }
    void deviceCommandsWithoutAnAnswerSayThereIsNoConnection() {
        QFETCH(QString, message);
        Start();
        m_recorder.answers = false;
        Run(QTest::currentDataTag());
        // The headline, then why, as the command line prints them.
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages[0].startsWith(message + QStringLiteral("\r\nПричина: ")),
                 qPrintable(m_dialogs.messages[0]));
        QVERIFY(!Item("N12")->isEnabled());
        QCOMPARE(m_program->GetSession().saveState, Session::SaveState::Nothing);
    }

    void aRecorderLoadStoresTheDefaultDumpFileAndLeavesItUnsaved() {
        Start();
        LoadFromRecorder();
        QVERIFY(Item("N12")->isEnabled());
        QVERIFY(MenuShown("N6"));
        QVERIFY(!Window().ProgressBar1_()->isVisible());  // only while a command runs
        QFile stored(Path(*m_dir, "dannie.krd"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.size(), qint64(65536));
        QCOMPARE(m_program->GetSession().dispatch.Kind(), SourceKind::DumpFile);
        QVERIFY(Window().isEnabled());
    }

    void closingAsksAboutUnsavedDataThenFades_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("ticks");
        QTest::newRow("nothing to save") << -1 << true << 7;
        QTest::newRow("yes") << int(Answer::Yes) << true << 7;
        QTest::newRow("no") << int(Answer::No) << true << 0;
        QTest::newRow("cancel") << int(Answer::Cancel) << false << 0;
    }
    void closingAsksAboutUnsavedDataThenFades() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, ticks);
        Start();
        if (answer >= 0) {
            LoadFromRecorder();
            m_dialogs.answers.push_back(Answer(answer));
            m_dialogs.saveNames.push_back(Path(*m_dir, "saved.krd"));
        }
        int counted = 0;
        connect(Window().Timer1(), &QTimer::timeout, this, [&counted] { ++counted; });
        Window().close();
        QCOMPARE(m_dialogs.questions.size(), answer >= 0 ? 1 : 0);
        if (answer >= 0) {
            QCOMPARE(m_dialogs.questions.front(),
                     QStringLiteral("Данные не сохранены\rСохранить данные в файл?"));
        }
        if (closes) QTRY_VERIFY(!Window().isVisible());
        QTest::qWait(60);
        QCOMPARE(Window().isVisible(), !closes);
        QCOMPARE(counted, ticks);
        QCOMPARE(Window().Opacity(), ticks ? 0 : 255);
        QCOMPARE(QFile::exists(Path(*m_dir, "saved.krd")), answer == int(Answer::Yes));
        if (answer == int(Answer::Yes)) {
            QCOMPARE(m_program->GetSession().saveState, Session::SaveState::Saved);
        }
        QCOMPARE(m_dialogs.questions.size(), answer >= 0 ? 1 : 0);
    }

    // Closing while a command runs asks first. No lets the command finish
    // and the window stay; Yes stops it and then closes as ever.
    void closingDuringACommandAsksToStopIt_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("stop");
        QTest::newRow("recorder read, go on") << "N9" << false;
        QTest::newRow("recorder read, stop") << "N9" << true;
        QTest::newRow("document, stop") << "N15" << true;
        QTest::newRow("appendix 3, go on") << "Button1" << false;
    }
    void closingDuringACommandAsksToStopIt() {
        QFETCH(QString, command);
        QFETCH(bool, stop);
        Start();
        if (command != "N9") LoadSample();
        const std::vector<std::uint8_t> before = ReadBytes(Path(*m_dir, "dannie.krd"));
        // The recorder's read waits until the close box has been answered.
        std::promise<void> closed;
        m_recorder.duringRead = [answered = closed.get_future().share()] { answered.wait(); };
        if (command == "Button1") {
            Item("N14")->trigger();
            m_program->Form3().Button1()->click();
        } else {
            Item(command.toUtf8().constData())->trigger();
        }
        QVERIFY(Window().CommandRunning());
        m_dialogs.answers.push_back(stop ? Answer::Yes : Answer::No);
        Window().close();
        closed.set_value();
        WaitForCommand();
        QCOMPARE(m_dialogs.questions.value(0), QStringLiteral("Прервать чтение данных?"));
        QVERIFY(m_dialogs.messages.isEmpty());
        if (stop) {
            QTRY_VERIFY(!Window().isVisible());
            if (command == "N9") {
                QCOMPARE(ReadBytes(Path(*m_dir, "dannie.krd")), before);
                QCOMPARE(m_program->GetSession().dispatch.Kind(), SourceKind::None);
            }
            return;
        }
        QVERIFY(Window().isVisible());
        QVERIFY(!Window().Timer1()->isActive());
        QCOMPARE(Documents().size(), command == "N9" ? 0 : 1);
        QCOMPARE(m_program->GetSession().dispatch.Kind(), SourceKind::DumpFile);
        QVERIFY(Window().menuBar()->isEnabled());
        // Afterwards the window closes as ever.
        m_dialogs.answers.push_back(Answer::No);
        Window().close();
        QTRY_VERIFY(!Window().isVisible());
    }

    // The window is the program: when it closes, the program ends, whatever
    // other window is still open.
    void theProgramEndsWithItsWindow() {
        Start();
        Item("About1")->trigger();
        Item("N14")->trigger();
        QVERIFY(m_program->Form3().isVisible());
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(5000);
        QTimer::singleShot(0, &Window(), &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!Window().isVisible());
    }

    void saveAsWritesTheImageOrSaysTheReadFailed() {
        Start();
        LoadFromRecorder();
        m_dialogs.saveNames.push_back(Path(*m_dir, "copy.krd"));
        Run("N12");
        QCOMPARE(QFileInfo(Path(*m_dir, "copy.krd")).size(), qint64(65536));
        QCOMPARE(m_program->GetSession().saveState, Session::SaveState::Saved);
        m_program->GetSession().dispatch.CloseSource();
        m_dialogs.saveNames.push_back(Path(*m_dir, "none.krd"));
        Run("N12");
        QCOMPARE(m_dialogs.errors, QStringList{QStringLiteral("\rОшибка чтения данных")});
        QVERIFY(!QFile::exists(Path(*m_dir, "none.krd")));
        QVERIFY(Window().isEnabled());
    }

    void infoIniKeepsTheSheetBetweenRuns() {
        Start();
        QTableWidget* grid = Window().StringGrid1();
        const QString value = QStringLiteral("Стрела 9,7-21,7 м; гусек 7,5 м = 2 шт.");
        grid->item(3, 1)->setText(value);
        Item("N2")->trigger();
        QFile file("Info.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray lines = file.readAll();
        QVERIFY(lines.contains(QByteArray::fromStdString(Cp1251FromUtf8(
            "Инвентарный номер крана=Стрела 9,7-21,7 м; гусек 7,5 м = 2 шт.;\r\n"))));
        grid->item(3, 1)->setText(QString());
        QVERIFY(m_program->GetSession().sheet.Value(3).empty());
        Item("XT1")->trigger();
        QCOMPARE(grid->item(3, 1)->text(), value);
    }

    // As the command line's --passport: a missing file changes nothing in
    // silence, a folder or a file too large to be one is refused aloud.
    void infoIniThatIsNoPassportFileIsRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "missing" << QString();
        QTest::newRow("folder") << "folder" << QStringLiteral("это папка, а не файл");
        QTest::newRow("over 1 MiB") << "large" << QStringLiteral("он больше 1 МиБ");
    }
    void infoIniThatIsNoPassportFileIsRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        Start();
        if (kind == "folder") QVERIFY(QDir().mkdir("Info.ini"));
        if (kind == "large") {
            QFile file("Info.ini");
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(QByteArray(qsizetype(zorvek::kInfoIniLimit) + 1, 'x')) > 0);
        }
        Window().StringGrid1()->item(3, 1)->setText(QStringLiteral("Инв. 42"));
        Item("XT1")->trigger();
        QCOMPARE(Window().StringGrid1()->item(3, 1)->text(), QStringLiteral("Инв. 42"));
        if (error.isEmpty()) {
            QVERIFY(m_dialogs.errors.isEmpty());
        } else {
            QCOMPARE(m_dialogs.errors.size(), 1);
            QVERIFY2(m_dialogs.errors.front().contains(error),
                     qPrintable(m_dialogs.errors.front()));
        }
    }

    void reportCommandsFileTheirDocumentsAndOpenThem_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        for (const DocumentEntry& entry : zorvek::Documents()) {
            if (entry.menuItem == "N14") continue;
            QTest::newRow(std::string(entry.name).c_str())
                << QString::fromUtf8(entry.menuItem.data(), qsizetype(entry.menuItem.size()))
                << QString::fromUtf8(entry.title.data(), qsizetype(entry.title.size()));
        }
    }
    void reportCommandsFileTheirDocumentsAndOpenThem() {
        QFETCH(QString, item);
        QFETCH(QString, title);
        Start();
        LoadSample();
        if (item == "N7") Item("N20")->trigger();  // the histograms as pictures too
        Run(item.toUtf8().constData());
        const QStringList written = Documents();
        QCOMPARE(written.size(), 1);
        QVERIFY2(written.front().startsWith(title + ' '), qPrintable(written.front()));
        QVERIFY(written.front().endsWith(".rtf"));
        const QString path = m_dir->filePath("documents/" + written.front());
        QCOMPARE(m_dialogs.opened, QStringList{path});
        // Its pages name the image they were made from.
        const std::vector<std::uint8_t> rtf = ReadBytes(path);
        QVERIFY(std::search(rtf.begin(), rtf.end(), test::SampleFingerprint().begin(),
                            test::SampleFingerprint().end()) != rtf.end());
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(Window().menuBar()->isEnabled());
        QVERIFY(Window().StatusLine()->isVisible());
        QCOMPARE(Window().StatusLine()->toolTip(),
                 QStringLiteral("Документ записан: ") + QDir::toNativeSeparators(path));
    }

    // The box names the file as the documents folder names it.
    void aDocumentThatCannotBeWrittenIsReported_data() {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << false << QStringLiteral("недопустимый размер файла");
        QTest::newRow("no folder") << true << QStringLiteral(".+");
    }
    void aDocumentThatCannotBeWrittenIsReported() {
        QFETCH(bool, folderIsAFile);
        QFETCH(QString, reason);
        if (!folderIsAFile && !test::FileSizeLimit::Supported()) QSKIP("no file size limit here");
        Start();
        LoadSample();
        if (folderIsAFile) QVERIFY(QFile(m_dir->filePath("documents")).open(QIODevice::WriteOnly));
        {
            std::optional<test::FileSizeLimit> diskFull;
            if (!folderIsAFile) diskFull.emplace(100);
            Run("N15");
        }
        QCOMPARE(m_dialogs.errors.size(), 1);
        const QRegularExpression named(QStringLiteral("^Документ Приложение 4 \\d{4}-\\d\\d-\\d\\d "
                                                      "\\d\\d-\\d\\d-\\d\\d\\.rtf не создан: ") +
                                       reason + '$');
        QVERIFY2(named.match(m_dialogs.errors.front()).hasMatch(),
                 qPrintable(m_dialogs.errors.front()));
        QVERIFY(Documents().isEmpty());
        QVERIFY(m_dialogs.opened.isEmpty());
        QVERIFY(!Window().StatusLine()->isVisible());
    }

    // The file is written either way; the program shows it where the user
    // chose, or where the desktop had nothing to open it with, and says so.
    void documentsShowInTheEditorOrInTheProgram_data() {
        QTest::addColumn<QString>("command");  // a menu item, or the options window's fill
        QTest::addColumn<bool>("inProgram");
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QString>("caption");  // of the preview; none: no preview
        QTest::addColumn<QString>("why");      // before the line's file name
        QTest::newRow("editor") << "N11" << false << true << QString() << QString();
        QTest::newRow("program") << "N11" << true << true << QStringLiteral("Форма 1 — просмотр")
                                 << QString();
        QTest::newRow("program, appendix 3")
            << "Button1" << true << true << QStringLiteral("Приложение 3 — просмотр") << QString();
        QTest::newRow("no editor for RTF")
            << "N11" << false << false << QStringLiteral("Форма 1 — просмотр")
            << QStringLiteral("Нет программы для открытия RTF: показан в программе");
        QTest::newRow("no editor for XLSX")
            << "Button1" << false << false << QStringLiteral("Приложение 3 — просмотр")
            << QStringLiteral("Нет программы для открытия XLSX: показан в программе");
    }
    void documentsShowInTheEditorOrInTheProgram() {
        QFETCH(QString, command);
        QFETCH(bool, inProgram);
        QFETCH(bool, desktopOpens);
        QFETCH(QString, caption);
        QFETCH(QString, why);
        Start();
        LoadSample();
        if (inProgram) Item("DocumentProgram1")->trigger();
        m_desktop.desktopOpens = desktopOpens;
        if (command == "Button1") {
            Item("N14")->trigger();
            m_program->Form3().Button1()->click();
            WaitForCommand();
        } else {
            Run(command.toUtf8().constData());
        }
        const QStringList written = Documents();
        QCOMPARE(written.size(), 1);
        const QString path = m_dir->filePath("documents/" + written.front());
        QCOMPARE(m_dialogs.opened, inProgram ? QStringList{} : QStringList{path});
        const QString filed = QStringLiteral("Документ записан: ") + QDir::toNativeSeparators(path);
        QCOMPARE(Window().StatusLine()->toolTip(), why.isEmpty() ? filed : why + '\n' + filed);

        const auto previews = Window().findChildren<ui::PaperPreviewForm*>();
        QCOMPARE(previews.size(), caption.isEmpty() ? 0 : 1);
        if (caption.isEmpty()) return;
        QPointer<ui::PaperPreviewForm> preview = previews.front();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), caption);
        // Every page of the document reached the screen.
        QVERIFY(preview->PageCount() > 0);
        QCOMPARE(preview->Pages()->pageCount(), preview->PageCount());
        QCOMPARE(preview->PageLine()->text(),
                 QStringLiteral("Стр. 1 из %1").arg(preview->PageCount()));
        preview->EditorButton()->click();
        QCOMPARE(m_dialogs.opened.last(), path);
        // The program, and so its preview, ends with the main window.
        m_dialogs.answers.push_back(Answer::No);
        Window().close();
        QTRY_VERIFY(!preview);
    }

    void theDocumentViewIsKeptForTheNextStart() {
        Start();
        QVERIFY(Item("DocumentEditor1")->isChecked());
        Item("DocumentProgram1")->trigger();
        QVERIFY(!Item("DocumentEditor1")->isChecked());
        Restart();
        QVERIFY(Item("DocumentProgram1")->isChecked());
        QVERIFY(!Item("DocumentEditor1")->isChecked());
        Item("DocumentEditor1")->trigger();
        Restart();
        QVERIFY(Item("DocumentEditor1")->isChecked());
    }

    void theOptionsWindowBuildsAppendix3() {
        Start();
        LoadSample();
        Item("N14")->trigger();
        ui::TForm3& options = m_program->Form3();
        QVERIFY(options.isVisible());
        options.CheckBox(12)->setChecked(true);
        options.Button1()->click();
        QVERIFY(!options.Button1()->isVisibleTo(&options));  // no second build meanwhile
        WaitForCommand();
        QVERIFY(!options.isVisible());
        QVERIFY(!m_program->Form2().isVisible());
        QVERIFY(options.Button1()->isVisibleTo(&options));
        QVERIFY(!m_program->Reports().Busy().IsBusy());
        QVERIFY(m_program->Reports().Columns().IsOn(ColumnKind(11)));
        QCOMPARE(m_program->Reports().Title().Text(), QStringLiteral("Зорвек"));
        const QStringList written = Documents();
        QCOMPARE(written.size(), 1);
        QVERIFY(written.front().startsWith(QStringLiteral("Приложение 3 ")));
        QVERIFY(written.front().endsWith(".xlsx"));
        QCOMPARE(m_dialogs.opened.size(), 1);
    }

    // Qt's own texts of the standard dialogs, in the system's translations.
    void standardDialogsSpeakRussian() {
        QVERIFY(LoadQtTranslations(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Открыть"));
    }

    void helpOpensTheUserGuide() {
        Start();
        Item("Contents1")->trigger();
        QCOMPARE(m_dialogs.opened.size(), 1);
        QVERIFY(m_dialogs.opened.front().endsWith("/ReadMe.htm"));
        Item("About1")->trigger();
        QVERIFY(m_program->Form4().isVisible());
        QCOMPARE(m_program->Form4().pos(), Window().pos() + QPoint(170, 150));
    }
};

}  // namespace zorvek

QTEST_MAIN(zorvek::InfoFormTest)
#include "info_form_test.moc"
