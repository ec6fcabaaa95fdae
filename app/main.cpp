#include <QApplication>
#include <QFile>
#include <QIcon>

#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "ui/dialogs.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("zorvek");
    QApplication::setDesktopFileName("zorvek");
    zorvek::LoadQtTranslations(application);

    zorvek::Program::Settings settings;
    settings.data = zorvek::DataDirectory();
    // A missing icon is simply not shown.
    const QString icon = QString::fromStdU16String((settings.data / "zorvek.svg").u16string());
    if (QFile::exists(icon)) QApplication::setWindowIcon(QIcon(icon));
    // The arguments as the system gave them; a dump file's path is rejoined
    // from them with single spaces.
    for (int i = 1; i < argc; ++i) settings.arguments.emplace_back(argv[i]);

    zorvek::ui::QtDialogs dialogs;
    zorvek::Program program(dialogs, std::move(settings));
    program.Info_Form().show();
    return QApplication::exec();
}
