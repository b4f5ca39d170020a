#include "view/win32/printing.h"

#include "platform/device_context.h"
#include "platform/gdi_surface_windows.h"
#include "platform/message_box.h"
#include "view/print_job.h"

#include <commdlg.h>

#include <vector>

namespace view::win32 {

namespace {

using GdiPrintJob = SurfacePrintJob<platform::PrinterSurface>;

std::wstring DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return {};
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(wcslen(name.c_str()));
    return name;
}

// "<temporary folder>\DO-DEZ Print.pdf", in the ANSI code page and wide.
std::pair<std::string, std::wstring> TemporaryPdfFile() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + kPrintJobName + ".pdf";
    return {file, platform::Widen(file)};
}

} // namespace

HDC CreatePrinterDc(const wchar_t* printer, const DEVMODEW* settings) {
    return CreateDCW(L"WINSPOOL", printer, nullptr, settings);
}

Printers::~Printers() {
    if (settings_) GlobalFree(settings_);
    if (names_) GlobalFree(names_);
}

void Printers::ShowSetupDialog(HWND owner) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hDevMode = settings_;
    dialog.hDevNames = names_;
    dialog.Flags = PD_PRINTSETUP;
    // Without a printer the dialog says so itself, and changes nothing.
    if (PrintDlgW(&dialog)) {
        settings_ = dialog.hDevMode;
        names_ = dialog.hDevNames;
    }
}

std::unique_ptr<PrintJob> Printers::Open() {
    if (names_) {
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(names_));
        const auto* settings = static_cast<const DEVMODEW*>(GlobalLock(settings_));
        const wchar_t* device = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
        HDC printer = CreatePrinterDc(device, settings);
        GlobalUnlock(settings_);
        GlobalUnlock(names_);
        if (printer) return std::make_unique<GdiPrintJob>(std::string(), printer);
    }
    const std::wstring name = DefaultPrinterName();
    if (HDC printer = name.empty() ? nullptr : CreatePrinterDc(name.c_str())) {
        return std::make_unique<GdiPrintJob>(std::string(), printer);
    }
    if (HDC pdf = CreatePrinterDc(kPdfPrinter)) {
        auto [file, wideFile] = TemporaryPdfFile();
        return std::make_unique<GdiPrintJob>(std::move(file), pdf, std::move(wideFile));
    }
    platform::ShowMessage("No printer is available, and no PDF printer either: the page was not "
                          "printed.",
                          platform::ProgramName());
    return nullptr;
}

std::unique_ptr<PrintJob> Printers::OpenPdfFile(const std::string& pdfFile) {
    if (HDC pdf = CreatePrinterDc(kPdfPrinter)) {
        return std::make_unique<GdiPrintJob>(pdfFile, pdf, platform::Widen(pdfFile));
    }
    platform::ShowMessage("The \"Microsoft Print to PDF\" printer is not installed: no PDF can "
                          "be made here.",
                          platform::ProgramName());
    return nullptr;
}

} // namespace view::win32
