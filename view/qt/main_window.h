// The screen view's window: the menu bar, the client area (Canvas), a status
// bar with the pointer's place on the drawing, message boxes, the printer.
// The behaviour is DrawArea's; this class turns the toolkit's events into its
// handlers and provides what it asks of the system.
#pragma once

#include "platform/message_box.h"
#include "view/draw_area.h"
#include "view/qt/canvas.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPrinter>

#include <functional>
#include <memory>

namespace view::qt {

class MainWindow : public QMainWindow {
  public:
    // `endProgram` is what Exit ends the program with; empty: the process ends.
    explicit MainWindow(std::function<void()> endProgram = {});
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    DrawArea& Area() { return area_; }
    Canvas& ClientArea() { return canvas_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    QAction* AddCommand(QMenu& menu, const QString& caption, void (DrawArea::*handler)());
    void ShowPointerPosition(QPoint pixel);
    platform::MessageAnswer Ask(const platform::MessageRequest& request);
    void ShowPrinterDialog();
    std::unique_ptr<PrintJob> OpenPrinter();

    DrawArea area_;
    Canvas canvas_;
    QLabel position_;
    QPrinter printer_;
    bool printerChosen_ = false; // by Print Setup; until then the default printer
    platform::MessageSink previousSink_;
};

} // namespace view::qt
