#include "view/qt/screen_view.h"

#include "view/qt/event_guard.h"
#include "view/qt/main_window.h"

#include <QApplication>

namespace view::qt {

int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing) {
    const QApplication application(argc, argv);
    MainWindow window;
    window.Area().SetDrawingOpener(std::move(openDrawing));
    Guarded([&] { window.Area().OpenDrawing(commandFile); });
    window.show();
    return QApplication::exec();
}

} // namespace view::qt
