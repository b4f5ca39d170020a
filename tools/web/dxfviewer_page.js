// The page's script (bundled by esbuild in tools/readers-check): draws one
// DXF with dxf-viewer over the whole 8.5 x 11 in sheet, so that a pixel of the
// canvas is a known place on the drawing.
import {DxfViewer} from "dxf-viewer"
import {Color} from "three"

let viewer = null

// Loads URL into a WIDTH x HEIGHT canvas showing the drawing window
// [minX, maxX] x [minY, maxY] edge to edge; returns the viewer's messages.
window.drawDxf = async function (url, width, height, view, background) {
    const box = document.getElementById("drawing")
    if (viewer) {
        viewer.Destroy()
    }
    box.innerHTML = ""
    box.style.width = width + "px"
    box.style.height = height + "px"
    const messages = []
    viewer = new DxfViewer(box, {
        canvasWidth: width, canvasHeight: height, autoResize: false,
        clearColor: new Color(background), antialias: false, preserveDrawingBuffer: true,
    })
    viewer.Subscribe("message", event => messages.push(event.detail.message))
    await viewer.Load({url, fonts: ["font.ttf"]})
    // The viewer draws relative to an origin of its own near the drawing.
    const origin = viewer.GetOrigin()
    const [minX, maxX, minY, maxY] = view
    viewer.FitView(minX - origin.x, maxX - origin.x, minY - origin.y, maxY - origin.y, 0)
    // Setting the view draws nothing by itself.
    viewer.Render()
    return messages
}

// The same drawing on another background: the viewer picks again which
// colours it swaps to stay visible.
window.setBackground = function (background) {
    viewer.SetClearColor(background)
}
