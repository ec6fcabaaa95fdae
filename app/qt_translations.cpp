#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zorvek {

bool LoadQtTranslations(QCoreApplication& application) {
    const QString beside = QCoreApplication::applicationDirPath();
    const QString folders[] = {beside + "/translations", beside,
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    // The window speaks Russian whatever the desktop's language, also where
    // Qt takes a text from the default locale (the file types of the file
    // dialogs).
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(russian, "qtbase", "_", folder)) {
            return QCoreApplication::installTranslator(translator);
        }
        delete translator;
    }
    return false;
}

}  // namespace zorvek
