#include "view/shell.h"

#include "view/event_guard.h"
#include "view/qt/main_window.h"
#include "view/qt/runtime_folder.h"

#include <QApplication>

#include <optional>

namespace view {

int RunScreenView(int& argc, char** argv, const std::string& commandFile,
                  DrawingOpener openDrawing) {
    std::optional<QApplication> application;
    qt::StartWithRuntimeFolder([&] { application.emplace(argc, argv); });
    qt::MainWindow window;
    window.Area().SetDrawingOpener(std::move(openDrawing));
    Guarded([&] { window.Area().OpenDrawing(commandFile); });
    window.show();
    return QApplication::exec();
}

} // namespace view
