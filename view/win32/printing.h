// Printers for the Windows screen view: the system's Print Setup dialog, the
// printer it chose (else the default one) for Print, and the system's PDF
// printer for a page that has no printer to go to.
#pragma once

#include "view/draw_area.h"

#include <windows.h>

#include <memory>
#include <string>

namespace view::win32 {

// The printer Windows offers for writing PDF files, where it is installed.
inline constexpr const wchar_t* kPdfPrinter = L"Microsoft Print to PDF";

// A device context for the named printer; nullptr when there is no such printer.
HDC CreatePrinterDc(const wchar_t* printer, const DEVMODEW* settings = nullptr);

class Printers {
  public:
    Printers() = default;
    ~Printers();
    Printers(const Printers&) = delete;
    Printers& operator=(const Printers&) = delete;

    // The system's printer dialog; a printer chosen there is used from then on.
    void ShowSetupDialog(HWND owner);

    // A job on the chosen or the default printer; with no printer, on the PDF
    // printer into the temporary folder. nullptr, after saying so, when there
    // is nothing to print on.
    std::unique_ptr<PrintJob> Open();
    // A job on the PDF printer into `pdfFile`; nullptr, after saying so,
    // when the PDF printer is not installed.
    static std::unique_ptr<PrintJob> OpenPdfFile(const std::string& pdfFile);

  private:
    HGLOBAL settings_ = nullptr; // DEVMODEW of the printer Print Setup chose
    HGLOBAL names_ = nullptr;    // DEVNAMES of that printer
};

} // namespace view::win32
