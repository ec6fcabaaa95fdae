#include "ui/chart_form.h"

namespace zorvek::ui {

TForm6::TForm6(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("Form6");
    setWindowTitle("Form6");
    resize(583, 282);
}

}  // namespace zorvek::ui
