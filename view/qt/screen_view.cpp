#include "view/shell.h"

#include "view/qt/event_guard.h"
#include "view/qt/main_window.h"

#include <QApplication>

namespace view {

int RunScreenView(int& argc, char** argv, const std::function<void()>& prepareDrawing) {
    const QApplication application(argc, argv);
    qt::MainWindow window;
    qt::Guarded(prepareDrawing);
    window.show();
    return QApplication::exec();
}

} // namespace view
