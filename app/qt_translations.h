#pragma once

class QCoreApplication;

namespace zorvek {

// Puts Qt's own Russian texts into the standard dialogs and message boxes
// ("Открыть", "Да", "Нет", "Отмена") and makes Russian the default locale,
// whatever the desktop's language. The files are looked for beside the
// executable (its "translations" folder, then the folder itself: a copy
// that ships them), then in the system's Qt translations. False when none
// was found; the dialogs then keep Qt's English.
bool LoadQtTranslations(QCoreApplication& application);

}  // namespace zorvek
