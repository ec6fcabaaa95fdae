// The auxiliary windows on their own: the options window's columns by crane
// variant, the filter's two states, the progress and about windows, the
// documents' paper preview, the file dialogs' columns.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <utility>

#include "tests/support/scripted_dialogs.h"
#include "ui/about_form.h"
#include "ui/file_columns.h"
#include "ui/filter_form.h"
#include "ui/options_form.h"
#include "ui/paper_preview_form.h"
#include "ui/progress_form.h"
#include "ui/text.h"

namespace zorvek::ui {
namespace {

// One line a page, the pages broken by hand: how many there are hangs on
// no font's widths.
PaperDocument HandBrokenPages(int count, bool landscape) {
    PaperDocument document;
    if (landscape) std::swap(document.page.width, document.page.height);
    for (int page = 1; page <= count; ++page) {
        PaperParagraph line;
        line.pageBreakBefore = page > 1;
        line.runs.emplace_back().text = "Страница " + std::to_string(page);
        document.blocks.emplace_back(std::move(line));
    }
    return document;
}

QByteArray PdfOf(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page objects, not the page tree ("/Type /Pages").
int PdfPages(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?![A-Za-z]))"));
    int pages = 0;
    for (auto match = page.globalMatch(QString::fromLatin1(pdf)); match.hasNext(); match.next()) {
        ++pages;
    }
    return pages;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

    test::ScriptedDialogs m_dialogs;

    // Visible boxes and their tops, as one text: "1:48 2:72 ...".
    static QString Layout(const TForm3& options) {
        QStringList boxes;
        for (int box = 1; box <= TForm3::kBoxes; ++box) {
            const QCheckBox* check = options.CheckBox(box);
            if (check->isVisibleTo(&options)) boxes << QString("%1:%2").arg(box).arg(check->y());
        }
        return boxes.join(' ');
    }

  private slots:
    void initTestCase() {
        // The windows are laid out for the small type the program sets.
        QFont font = QApplication::font();
        font.setPixelSize(11);
        QApplication::setFont(font);
    }

    void optionsOfferTheColumnsOfTheCraneVariant_data() {
        QTest::addColumn<int>("craneKind");
        QTest::addColumn<QString>("layout");
        const QString left = "1:48 2:72 3:96 4:120 5:144 6:168 ";
        QTest::newRow("no argument") << 10
                                     << left +
                                            "7:192 8:216 9:240 10:264 11:48 12:72 13:96 "
                                            "14:120 15:144 16:168 17:192 18:216";
        QTest::newRow("dump file") << 0
                                   << left +
                                          "7:192 8:216 9:240 10:264 11:48 12:72 13:96 "
                                          "14:120 15:144 16:168 17:192 18:216";
        QTest::newRow("kran") << 1
                              << left +
                                     "7:192 8:216 9:240 10:264 11:48 12:72 13:96 14:120 "
                                     "18:144";
        QTest::newRow("bashnya") << 2 << left + "7:192 8:216 11:48 12:72 13:96 17:120 18:144";
        QTest::newRow("truba") << 3 << left + "8:192 11:48 12:72 13:96 14:120 15:144 16:168 18:192";
        QTest::newRow("unknown") << 7 << left + "7:192 8:216 10:264 11:48 12:72 13:96 18:216";
    }
    void optionsOfferTheColumnsOfTheCraneVariant() {
        QFETCH(int, craneKind);
        QFETCH(QString, layout);
        const int kind = craneKind;
        TForm3 options(nullptr, m_dialogs, kind, {m_columns, m_busy, {}, {}}, QString());
        QCOMPARE(options.size(), QSize(360, 328));
        options.show();
        QCOMPARE(Layout(options), layout);
        // No visible caption runs into a button.
        for (int box = 1; box <= TForm3::kBoxes; ++box) {
            const QCheckBox* check = options.CheckBox(box);
            if (!check->isVisibleTo(&options)) continue;
            const QRect caption(check->pos(), check->sizeHint());
            for (const QPushButton* button : options.findChildren<QPushButton*>()) {
                const QRect area(button->mapTo(&options, QPoint()), button->size());
                QVERIFY2(!caption.intersects(area), qPrintable(check->text()));
            }
        }
        // Showing changes no mark: the defaults are 1-6 and 8.
        for (int box = 1; box <= TForm3::kBoxes; ++box) {
            QCOMPARE(options.CheckBox(box)->isChecked(), box <= 6 || box == 8);
        }
    }

    void fillReadsEveryMarkHiddenOrNotAndShowsProgressMeanwhile() {
        const int kind = 3;
        bool progressShown = false;
        TForm2 progress(nullptr, "missing.gif");
        TForm3 options(nullptr, m_dialogs, kind,
                       {m_columns,
                        m_busy,
                        {},
                        [&](const std::function<void()>& finished) {
                            progressShown = progress.isVisible();
                            QVERIFY(m_busy.IsBusy());
                            QVERIFY(!options.Button1()->isVisibleTo(&options));
                            m_busy.Clear();
                            finished();
                        }},
                       QString());
        options.SetCompanions(&progress, nullptr);
        options.show();
        options.CheckBox(1)->setChecked(false);
        options.CheckBox(17)->setChecked(true);  // hidden for this variant
        options.Button1Click();
        QVERIFY(progressShown);
        QVERIFY(!progress.isVisible());
        QVERIFY(!options.isVisible());
        QVERIFY(options.Button1()->isVisibleTo(&options));
        QVERIFY(!m_columns.IsOn(ColumnKind::DateTime));
        QVERIFY(m_columns.IsOn(ColumnKind::Wind));
        QVERIFY(m_columns.IsOn(ColumnKind::Mode));
        options.Button3Click();
        QCOMPARE(m_dialogs.opened, QStringList{"/Shifra.htm"});
    }

    // A status line too narrow for its path cuts the file name's middle and
    // keeps the documents folder; a name too short to cut shortens the
    // folders instead.
    void theStatusLineKeepsTheFolderOfALongPath_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kept");
        QTest::newRow("long name") << QStringLiteral(
                                          "Приложение 4 Информация о последних циклах 08.12.2026 "
                                          "14-05-33.rtf")
                                   << QStringLiteral("/ЗОРВЕК/");
        QTest::newRow("short name") << QStringLiteral("form1.rtf") << QStringLiteral("form1.rtf");
    }
    void theStatusLineKeepsTheFolderOfALongPath() {
        QFETCH(QString, name);
        QFETCH(QString, kept);
        const QString text = QStringLiteral("Документ записан: /home/engineer/Документы/") +
                             QStringLiteral("очень длинная папка/ЗОРВЕК/") + name;
        const QFontMetrics metrics(QApplication::font());
        const int room = metrics.horizontalAdvance(text) / 2;
        const QString shown = ElidedStatus(text, metrics, room);
        QVERIFY(metrics.horizontalAdvance(shown) <= room);
        QVERIFY2(shown.contains(kept), qPrintable(shown));
        QVERIFY2(shown.endsWith(".rtf"), qPrintable(shown));
        QCOMPARE(ElidedStatus(name, metrics, metrics.horizontalAdvance(name)), name);
    }

    void progressWindowGainsACaptionWhileBusy() {
        TForm2 progress(nullptr, "missing.gif");
        QCOMPARE(progress.size(), QSize(239, 64));
        QCOMPARE(progress.windowTitle(), QStringLiteral("Идёт процес обработки данных"));
        progress.ShowBusy();
        QCOMPARE(progress.height(), 84);
        QVERIFY(!progress.Animate1()->isVisible());  // no film, nothing shown
        progress.HideBusy();
        QCOMPARE(progress.height(), 64);
        QVERIFY(!progress.isVisible());
    }

    void filterSwitchesBetweenItsTwoStates() {
        FilterMask mask;
        TForm5 filter(nullptr, mask);
        filter.show();
        QCOMPARE(filter.height(), 128);
        QVERIFY(filter.RadioButton1()->isChecked());
        QVERIFY(!filter.Panel2()->isVisibleTo(&filter));

        const int top = filter.y();
        filter.RadioButton2()->click();
        QCOMPARE(filter.height(), 296);
        QCOMPARE(filter.GroupBox1()->height(), 281);
        QCOMPARE(filter.y(), top - 135);
        QVERIFY(filter.Panel2()->isVisibleTo(&filter));
        QVERIFY(!filter.Panel3()->isVisibleTo(&filter));
        QVERIFY(!filter.RadioButton1()->isChecked());
        filter.RadioButton2()->click();  // already chosen: no second move
        QVERIFY(filter.RadioButton2()->isChecked());
        QCOMPARE(filter.y(), top - 135);

        filter.Protection(0)->setChecked(true);  // "Запрет по вылету"
        filter.Protection(6)->setChecked(true);  // "Ветер"
        filter.Button1()->click();
        QVERIFY(!filter.isVisible());
        QVERIFY(!mask.showAll);
        QCOMPARE(mask.limitFlags, 0x0A);
        QCOMPARE(mask.zoneFlags, 0x20);
        QCOMPARE(mask.tiltFlags, 0);

        // Shown again the mask starts empty; leaving with nothing checked
        // returns to "Вывести всё".
        filter.show();
        QCOMPARE(mask.limitFlags, 0);
        filter.Protection(0)->setChecked(false);
        filter.Protection(6)->setChecked(false);
        filter.Button1()->click();
        QVERIFY(mask.showAll);
        QVERIFY(filter.RadioButton1()->isChecked());
        QCOMPARE(filter.height(), 128);
        QVERIFY(filter.Panel3()->isVisibleTo(&filter));
    }

    void aboutWindowTurnsIntoAPictureOnlyView() {
        TForm4 about(nullptr, m_dialogs, "missing.svg");
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.activateWindow();
        QTRY_VERIFY(about.isActiveWindow());
        QVERIFY(!about.Label(1)->isVisible());
        QCOMPARE(about.Label(6)->text(), QStringLiteral("формат данных 55AA0502"));
        about.resize(100, 100);
        QCOMPARE(about.size(), QSize(172, 180));  // never smaller
        about.resize(250, 250);
        QVERIFY(about.Label(2)->isVisible());  // no mouse move yet: labels stay

        QTest::mouseMove(&about, QPoint(50, 50));
        about.resize(300, 300);
        QVERIFY(about.LabelsHidden());
        for (int label = 1; label <= 6; ++label) QVERIFY(!about.Label(label)->isVisible());
        QTest::mouseClick(&about, Qt::RightButton, {}, QPoint(50, 50));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(50, 50),
                               about.mapToGlobal(QPoint(50, 50)));
        QApplication::sendEvent(&about, &menu);
        QTRY_VERIFY(about.PopupMenu1()->isVisible());
        about.PopupMenu1()->close();
    }

    void aboutPictureIsSavedAsARealJpeg_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        // -1: no file of the final name yet; otherwise one is there and
        // this is the answer to the question about replacing it.
        QTest::addColumn<int>("replace");
        QTest::addColumn<QByteArray>("start");
        const QByteArray jpeg("\xFF\xD8\xFF");
        QTest::newRow("no extension") << "crane"
                                      << "crane.jpg" << -1 << jpeg;
        QTest::newRow("already .jpg") << "crane.jpg"
                                      << "crane.jpg" << -1 << jpeg;
        QTest::newRow("another extension") << "crane.png"
                                           << "crane.png.jpg" << -1 << jpeg;
        QTest::newRow("over a file, replaced")
            << "crane.png"
            << "crane.png.jpg" << int(Dialogs::Answer::Yes) << jpeg;
        QTest::newRow("over a file, kept")
            << "crane.png"
            << "crane.png.jpg" << int(Dialogs::Answer::No) << QByteArray("old");
    }
    void aboutPictureIsSavedAsARealJpeg() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(int, replace);
        QFETCH(QByteArray, start);
        QTemporaryDir dir;
        m_dialogs = test::ScriptedDialogs();
        if (replace >= 0) {
            QFile old(dir.filePath(written));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
            m_dialogs.answers.push_back(Dialogs::Answer(replace));
        }
        TForm4 about(nullptr, m_dialogs, "missing.svg");
        m_dialogs.saveNames.push_back(dir.filePath(typed));
        about.N1Click();
        QCOMPARE(m_dialogs.questions.size(), replace >= 0 ? 1 : 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        QFile file(dir.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(3), start);
    }

    // The pages on screen are the pages a printer and the PDF file get,
    // each the document's way round.
    void previewShowsAndPrintsEveryPage_data() {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("one page") << 1 << false;
        QTest::newRow("three pages") << 3 << false;
        QTest::newRow("landscape") << 2 << true;
    }
    void previewShowsAndPrintsEveryPage() {
        QFETCH(int, pages);
        QFETCH(bool, landscape);
        const PaperDocument document = HandBrokenPages(pages, landscape);
        PaperPreviewForm preview(nullptr, m_dialogs, document, QStringLiteral("Форма 1"),
                                 QString());
        preview.show();
        QCOMPARE(preview.windowTitle(), QStringLiteral("Форма 1 — просмотр"));
        QCOMPARE(preview.Pages()->pageCount(), pages);
        QCOMPARE(preview.PageLine()->text(), QStringLiteral("Стр. 1 из %1").arg(pages));
        preview.findChild<QToolButton*>("LastPage")->click();
        preview.findChild<QToolButton*>("NextPage")->click();  // no page past the last
        QCOMPARE(preview.PageLine()->text(), QStringLiteral("Стр. %1 из %1").arg(pages));
        preview.findChild<QToolButton*>("PreviousPage")->click();
        QCOMPARE(preview.CurrentPage(), std::max(1, pages - 1));
        QVERIFY(!preview.EditorButton()->isEnabled());  // no file written

        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printed.pdf"));
        QVERIFY(preview.PrintOn(printer));
        const QByteArray printed = FileBytes(dir.filePath("printed.pdf"));
        QCOMPARE(PdfPages(printed), pages);
        QCOMPARE(PdfPages(PdfOf(PdfBytes(document))), pages);
        static const QRegularExpression box(
            QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+))"));
        const QRegularExpressionMatch first = box.match(QString::fromLatin1(printed));
        QVERIFY(first.hasMatch());
        QCOMPARE(first.captured(1).toDouble() > first.captured(2).toDouble(), landscape);
    }

    void previewSavesAPdfOrSaysWhyNot() {
        QTemporaryDir dir;
        m_dialogs = test::ScriptedDialogs();
        const QString rtf = dir.filePath("Форма 1 2024-05-06 07-08-09.rtf");
        PaperPreviewForm preview(nullptr, m_dialogs, HandBrokenPages(2, false),
                                 QStringLiteral("Форма 1"), rtf);
        m_dialogs.saveNames = {dir.filePath("form1.pdf"), dir.filePath("missing/form1.pdf")};
        preview.PdfButton()->click();
        QCOMPARE(m_dialogs.lastSaveFilter, QStringLiteral("Документ PDF (*.pdf)"));
        QCOMPARE(PdfPages(FileBytes(dir.filePath("form1.pdf"))), 2);
        QVERIFY(m_dialogs.errors.isEmpty());
        preview.PdfButton()->click();
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY2(
            m_dialogs.errors.front().startsWith(QStringLiteral("Документ form1.pdf не создан: ")),
            qPrintable(m_dialogs.errors.front()));
        preview.PdfButton()->click();  // cancelled: nothing more
        QCOMPARE(m_dialogs.errors.size(), 1);
        preview.EditorButton()->click();
        QCOMPARE(m_dialogs.opened, QStringList{rtf});
    }

    void fileSizesReadInRussian_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << qint64(0) << QStringLiteral("0 байт");
        QTest::newRow("below 1 КБ") << qint64(1023) << QStringLiteral("1023 байт");
        QTest::newRow("1 КБ") << qint64(1024) << QStringLiteral("1,0 КБ");
        QTest::newRow("an image") << qint64(65536) << QStringLiteral("64,0 КБ");
        QTest::newRow("last КБ") << qint64(1048524) << QStringLiteral("1023,9 КБ");
        QTest::newRow("rounds to 1 МБ") << qint64(1048525) << QStringLiteral("1,0 МБ");
        QTest::newRow("no unit above ТБ") << (qint64(2000) << 40) << QStringLiteral("2000,0 ТБ");
    }
    void fileSizesReadInRussian() {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FileSizeText(bytes), text);
    }

    // Qt's model gives these columns in the desktop's language, and a
    // folder's type in English whatever the translation.
    void fileDialogColumnsReadInRussian() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Папка")));
        QFile image(dir.filePath("dannie.krd"));
        QVERIFY(image.open(QIODevice::WriteOnly) && image.resize(65536));
        image.close();
        QFileSystemModel files;
        RussianFileColumns columns;
        columns.setSourceModel(&files);
        const QModelIndex root = files.setRootPath(dir.path());
        QTRY_COMPARE(files.rowCount(root), 2);
        const auto text = [&](const QString& name, int column) {
            const QModelIndex row = files.index(dir.filePath(name));
            return columns.mapFromSource(row.siblingAtColumn(column)).data().toString();
        };
        QCOMPARE(text("Папка", 2), QStringLiteral("Папка"));
        QCOMPARE(text("Папка", 1), QString());
        QCOMPARE(text("dannie.krd", 1), QStringLiteral("64,0 КБ"));
        // No month's name, which the desktop's language would spell.
        static const QRegularExpression day(QStringLiteral(R"(^\d\d\.\d\d\.\d{4} \d\d:\d\d$)"));
        QVERIFY2(day.match(text("dannie.krd", 3)).hasMatch(), qPrintable(text("dannie.krd", 3)));
        QCOMPARE(text("dannie.krd", 0), QStringLiteral("dannie.krd"));
    }

  private:
    ColumnSwitches m_columns;
    BuildBusy m_busy;
};

}  // namespace zorvek::ui

QTEST_MAIN(zorvek::ui::WindowsTest)
#include "windows_test.moc"
