#include <QApplication>
#include <QFile>
#include <QIcon>

#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "reports/charts/supplied_fonts.h"
#include "ui/dialogs.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("zorvek");
    QApplication::setDesktopFileName("zorvek");
    zorvek::LoadQtTranslations(application);

    zorvek::Program::Settings settings;
    settings.data = zorvek::DataDirectory();
    // A missing icon is simply not shown.
    const QString icon = QString::fromStdU16String((settings.data / "zorvek.png").u16string());
    if (QFile::exists(icon)) QApplication::setWindowIcon(QIcon(icon));
    zorvek::RegisterSuppliedFonts(zorvek::SuppliedFontsFolder());
    // A dump file's path is rejoined from the arguments with single spaces.
    settings.arguments = zorvek::ProgramArguments(argc, argv);

    zorvek::ui::QtDialogs dialogs;
    zorvek::Program program(dialogs, std::move(settings));
    program.Info_Form().show();
    return QApplication::exec();
}
