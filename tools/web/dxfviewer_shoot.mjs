// Draws DXF files with dxf-viewer in headless Chromium and saves what the
// canvas shows, for tools/readers-check.
//
// usage: node dxfviewer_shoot.mjs MODULES URL DPI OUT NAME...
//   MODULES  the node_modules folder puppeteer-core is installed in
//   URL      where the page (dxfviewer.html as index.html, its bundle, a
//            font and NAME.dxf) is served
//   DPI      pixels per inch of the 8.5 x 11 in sheet
//   OUT      folder for NAME_white.png and NAME_black.png: the sheet edge to
//            edge, with pixel (0, 0) at the drawing's top left (0, 11)
// Prints the viewer's messages; exits 1 when a drawing fails to load.
import {createRequire} from "node:module"
import path from "node:path"

const [modules, url, dpi, out, ...names] = process.argv.slice(2)
const puppeteer = createRequire(path.resolve(modules) + "/")("puppeteer-core")
const width = Math.round(8.5 * dpi), height = Math.round(11 * dpi)

const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    // WebGL with no GPU: SwiftShader. No sandbox, as CI runs as root.
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--ignore-gpu-blocklist"],
})
let failed = false
try {
    const page = await browser.newPage()
    page.on("pageerror", error => console.log(`page error: ${error.message}`))
    await page.setViewport({width, height})
    await page.goto(`${url}/index.html`)
    for (const name of names) {
        let messages
        try {
            messages = await page.evaluate(
                (file, w, h) => window.drawDxf(file, w, h, [0, 8.5, 0, 11], "#ffffff"),
                `${name}.dxf`, width, height)
        } catch (error) {
            console.log(`${name}: dxf-viewer did not draw it: ${error.message}`)
            failed = true
            continue
        }
        for (const message of messages) {
            console.log(`${name}: dxf-viewer: ${message}`)
        }
        const canvas = await page.$("#drawing canvas")
        await canvas.screenshot({path: path.join(out, `${name}_white.png`)})
        await page.evaluate(() => window.setBackground("#000000"))
        await canvas.screenshot({path: path.join(out, `${name}_black.png`)})
    }
} finally {
    await browser.close()
}
process.exit(failed ? 1 : 0)
