#include <QApplication>
#include <QFile>
#include <QIcon>
#include <vector>

#include "access/program_location.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "reports/charts/offscreen_environment.h"
#include "reports/charts/supplied_fonts.h"
#include "ui/dialogs.h"

int main(int argc, char* argv[]) {
    // Qt's own arguments: the program's, with the platform that draws the
    // charts as the command line does; Qt takes out what it reads.
    std::vector<char*> qtArguments(argv, argv + argc);
    char platformOption[] = "-platform";
    if (const char* platform = zorvek::WindowPlatform()) {
        qtArguments.insert(qtArguments.begin() + 1, {platformOption, const_cast<char*>(platform)});
    }
    int qtCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtCount, qtArguments.data());
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
    settings.arguments = zorvek::ProgramArguments(qtCount, qtArguments.data());

    zorvek::ui::QtDialogs dialogs;
    zorvek::Program program(dialogs, std::move(settings));
    program.Info_Form().show();
    return QApplication::exec();
}
