// Opens each window of the program on a sample image and saves what it
// shows as a PNG into the folder given as the first argument.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>

#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "ui/dialogs.h"

namespace {

void Save(QWidget& window, const QDir& folder, const char* name) {
    QApplication::processEvents();
    window.grab().save(folder.filePath(QString(name) + ".png"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 3) return 1;
    zorvek::LoadQtTranslations(application);
    const QDir folder(argv[1]);
    zorvek::ui::QtDialogs dialogs;
    zorvek::Program::Settings settings;
    settings.arguments = {argv[2]};
    settings.data = zorvek::DataDirectory();
    settings.documents = QDir::temp().filePath("zorvek-screenshots").toStdString();
    zorvek::Program program(dialogs, std::move(settings));
    zorvek::TInfo_Form& main = program.Info_Form();
    main.show();
    Save(main, folder, "main-window");
    // While a command runs the menu waits, its titles greyed.
    main.menuBar()->setEnabled(false);
    Save(main, folder, "main-window-busy");
    main.menuBar()->setEnabled(true);

    // The report menu opened over the window.
    QMenu* appendices = main.Menu("N6");
    const QRect item = main.menuBar()->actionGeometry(appendices->menuAction());
    appendices->popup(main.menuBar()->mapToGlobal(item.bottomLeft()));
    QApplication::processEvents();
    const QPoint menuAt = main.mapFromGlobal(appendices->pos());
    QImage combined(main.size().expandedTo(
                        QSize(menuAt.x() + appendices->width(), menuAt.y() + appendices->height())),
                    QImage::Format_RGB32);
    combined.fill(Qt::white);
    {
        QPainter painter(&combined);
        painter.drawPixmap(0, 0, main.grab());
        painter.drawPixmap(menuAt, appendices->grab());
    }
    combined.save(folder.filePath("main-window-appendices.png"));
    appendices->close();

    program.Form3().show();
    Save(program.Form3(), folder, "options");
    program.Form3().close();
    program.Form5().show();
    Save(program.Form5(), folder, "filter");
    program.Form5().RadioButton2()->click();
    program.Form5().Protection(0)->setChecked(true);
    Save(program.Form5(), folder, "filter-protections");
    program.Form5().hide();
    program.Form2().ShowBusy();
    Save(program.Form2(), folder, "progress");
    program.Form2().HideBusy();
    main.Item("About1")->trigger();
    Save(program.Form4(), folder, "about");
    program.Form4().close();

    // The question on closing, its buttons in Qt's Russian.
    QMessageBox question(QMessageBox::Question, QStringLiteral("ЗОРВЕК"),
                         QStringLiteral("Данные не сохранены\rСохранить данные в файл?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &main);
    question.show();
    Save(question, folder, "close-question");
    return 0;
}
