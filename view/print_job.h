// A print job over a surface that prints: the device context the window
// prints through for the job's life, and the PDF file the page went to when
// there was no printer. Every shell's printer is one of these.
#pragma once

#include "platform/device_context.h"
#include "view/draw_area.h"

#include <string>
#include <utility>

namespace view {

template <typename PrintingSurface>
class SurfacePrintJob : public PrintJob {
  public:
    // `pdfFile` empty for a printer; the rest makes the surface.
    template <typename... SurfaceArguments>
    explicit SurfacePrintJob(std::string pdfFile, SurfaceArguments&&... arguments)
        : surface_(std::forward<SurfaceArguments>(arguments)...),
          dc_(platform::CreateDeviceContext(surface_)), pdfFile_(std::move(pdfFile)) {}
    ~SurfacePrintJob() override { platform::DeleteDC(dc_); }
    SurfacePrintJob(const SurfacePrintJob&) = delete;
    SurfacePrintJob& operator=(const SurfacePrintJob&) = delete;

    platform::DeviceContextHandle DeviceContext() const override { return dc_; }
    std::string PdfFile() const override { return pdfFile_; }
    bool Finish() override { return surface_.Finish(); }

  private:
    PrintingSurface surface_;
    platform::DeviceContextHandle dc_;
    std::string pdfFile_;
};

} // namespace view
