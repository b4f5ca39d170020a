#include "view/qt/screen_view.h"

#include "view/qt/event_guard.h"
#include "view/qt/main_window.h"

#include <QApplication>

namespace view::qt {

int RunScreenView(int& argc, char** argv, const std::function<void()>& prepareDrawing) {
    const QApplication application(argc, argv);
    MainWindow window;
    Guarded(prepareDrawing);
    window.show();
    return QApplication::exec();
}

} // namespace view::qt
