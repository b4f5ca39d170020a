#include "view/qt/screen_view.h"

#include "view/qt/event_guard.h"
#include "view/qt/main_window.h"
#include "view/qt/runtime_folder.h"

#include <QApplication>

#include <optional>

namespace view::qt {

int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing) {
    std::optional<QApplication> application;
    StartWithRuntimeFolder([&] { application.emplace(argc, argv); });
    MainWindow window;
    window.Area().SetDrawingOpener(std::move(openDrawing));
    Guarded([&] { window.Area().OpenDrawing(commandFile); });
    window.show();
    return QApplication::exec();
}

} // namespace view::qt
