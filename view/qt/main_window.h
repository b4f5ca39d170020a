// The screen view's window: the menu bar, the client area (Canvas), a status
// bar with the prompt, the incomplete mark and the pointer's place on the
// drawing, message boxes, the printer, and the watch on the command file
// shown. The behaviour is DrawArea's; this class turns the toolkit's events
// into its handlers and provides what it asks of the system.
#pragma once

#include "platform/message_box.h"
#include "view/draw_area.h"
#include "view/qt/canvas.h"

#include <QAction>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPrinter>
#include <QTimer>

#include <functional>
#include <memory>

namespace view::qt {

// A mark on the status bar that takes the width it is given and as many
// lines of it as its text needs.
class StatusMark : public QLabel {
  public:
    StatusMark();

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

class MainWindow : public QMainWindow {
  public:
    // `endProgram` is what Exit ends the program with; empty: the process ends.
    explicit MainWindow(std::function<void()> endProgram = {});
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    DrawArea& Area() { return area_; }
    Canvas& ClientArea() { return canvas_; }
    // The label that says the drawing is incomplete (hidden when it is not).
    const QLabel& IncompleteMark() const { return incomplete_; }
    const QLabel& PointerPlace() const { return position_; }
    // The label that says what the picture shows otherwise than drawn.
    const QLabel& DrawingNotice() const { return notice_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    QAction* AddCommand(QMenu& menu, const QString& caption, void (DrawArea::*handler)());
    void ShowPointerPosition(std::optional<QPoint> pixel);
    // Title, prompt, incomplete mark, drawing notice and pointer place as the
    // window now is.
    void ShowState();
    // The marks that have something to say, unless a prompt or note covers them.
    void ShowMarks();
    platform::MessageAnswer Ask(const platform::MessageRequest& request);
    void ShowPrinterDialog();
    std::unique_ptr<PrintJob> OpenPrinter();
    std::optional<std::string> ChooseCommandFile();
    std::optional<std::string> ChooseSaveFile(SavedForm form);
    // Watches the command file shown, and its folder, for the file being
    // written again or replaced by another under its name.
    void WatchDrawing();
    void ReloadChangedDrawing();

    DrawArea area_;
    Canvas canvas_;
    StatusMark incomplete_;
    StatusMark notice_;
    QLabel position_;
    QFileSystemWatcher watcher_;
    QTimer reloadTimer_; // a burst of writes is read once, when it is over
    QPrinter printer_;
    bool printerChosen_ = false; // by Print Setup; until then the default printer
    bool promptShown_ = false;   // the status bar's message is the window's prompt
    platform::MessageSink previousSink_;
};

} // namespace view::qt
