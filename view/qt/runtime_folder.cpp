#include "view/qt/runtime_folder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace view::qt {

namespace {
constexpr const char* kRuntimeVariable = "XDG_RUNTIME_DIR";
}

void StartWithRuntimeFolder(const std::function<void()>& startGui) {
    if (!qEnvironmentVariableIsEmpty(kRuntimeVariable)) {
        startGui();
        return;
    }
    // Owned by the user, mode 0700, as a runtime folder must be.
    const QTemporaryDir folder(QDir::tempPath() + "/plotdxf-runtime-XXXXXX");
    if (folder.isValid()) qputenv(kRuntimeVariable, QFile::encodeName(folder.path()));
    startGui();
    // Qt has what it wanted; a later look finds no folder and says nothing more.
    qunsetenv(kRuntimeVariable);
}

} // namespace view::qt
