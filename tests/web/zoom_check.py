"""The drawing's pixel size, as the screen shows it: at pixel sizes 1, 8 and 32 and device pixel ratios 1 and 2,
every pixel of the frame is a uniform block of size x ratio device pixels, the colour of that pixel in
clipdraw-render's --float frame at the coarse size (converted here). Corners clicked at block centres make a
scene whose saved file renders to the picture shown; at size 1 the canvas is the renderer's frame bit for bit."""
import base64
import math

from selenium.webdriver.support.ui import Select

from replay import png_rgb, rendered, text_top

SIZE = (320, 256)  # the drawing area, in CSS pixels: 40 x 32 pixels at 8, 10 x 8 at 32
# Blocks to click, as fractions of the frame across and down: an anticlockwise triangle.
TRIANGLE = [(0.15, 0.8), (0.85, 0.75), (0.5, 0.1)]


def check_zoom(browser, page, renderer, examples, tmp):
    js, failures = browser.execute_script, []
    config = (examples / "config.txt").read_text().replace("WindowWidth: 640", f"WindowWidth: {SIZE[0]}")
    (tmp / "small.txt").write_text(config.replace("WindowHeight: 560", f"WindowHeight: {SIZE[1]}"))

    def screen(ratio):
        """The device pixels the drawing area shows, rows top first, with no focus ring over them. The area
        may start between device pixels, where the browser puts it on the one it starts in: the screenshot
        starts on a whole CSS pixel before it and is cut there."""
        js("document.activeElement.blur()")
        x, y, w, h = js("const r = document.getElementById('frame').getBoundingClientRect(), v = document.getElementById('view');"
                        "return [r.left, r.top, v.clientWidth, v.clientHeight]")
        x0, y0 = math.floor(x) - 1, math.floor(y) - 1
        shot = browser.execute_cdp_cmd("Page.captureScreenshot", {
            "format": "png", "clip": {"x": x0, "y": y0, "width": w + 2, "height": h + 2, "scale": 1}})
        _, _, rows = png_rgb(base64.b64decode(shot["data"]))
        dx, dy = math.floor((x - x0) * ratio), math.floor((y - y0) * ratio)
        rows = [row[dx : dx + w * ratio] for row in rows[dy : dy + h * ratio]]
        return w * ratio, h * ratio, rows

    def blocks(size, ratio, scene, why):
        """Every block above the texts and wholly in the area against the renderer's frame of scene."""
        w, h = js("const c = document.getElementById('frame'); return [c.width, c.height]")
        want = rendered(renderer, tmp / "small.txt", scene, f"{w}x{h}", tmp, examples / "clippoly.txt")[2]
        sw, sh, shown = screen(ratio)
        side, unlike, seen = size * ratio, [], 0
        for row in range(h):
            if (row + 1) * size > text_top(SIZE[1]) or (row + 1) * side > sh:
                break
            for col in range(min(w, sw // side)):
                colour = tuple(want[3 * (row * w + col) : 3 * (row * w + col) + 3])
                block = {shown[y][x] for y in range(row * side, (row + 1) * side) for x in range(col * side, (col + 1) * side)}
                seen += 1
                if block != {colour}:
                    unlike.append((col, row, sorted(block)[:3], colour))
        if unlike or seen < 30:
            failures.append(f"{why}, size {size}, ratio {ratio}: {len(unlike)} of {seen} blocks unlike the frame {unlike[:2]}")
        return w, h

    page.open()
    page.load("config-file", tmp / "small.txt")
    page.load("clip-file", examples / "clippoly.txt")
    page.load("scene-file", examples / "scene.txt")
    grid = browser.find_element("id", "show-grid")
    if grid.is_selected():
        grid.click()  # the grid lies over the blocks, on the layer
    for ratio in (1, 2):
        browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                {"width": 1400, "height": 1000, "deviceScaleFactor": ratio, "mobile": False})
        for size in (1, 8, 32):
            Select(browser.find_element("id", "pixel-size")).select_by_value(str(size))
            w, h = blocks(size, ratio, examples / "scene.txt", "the example scene")
            if (w, h) != (-(-SIZE[0] // size), -(-SIZE[1] // size)):
                failures.append(f"size {size}: a {w} x {h} frame for a {SIZE[0]} x {SIZE[1]} area")
            if size == 1 and ratio == 1:  # today's canvas, bit for bit
                shown, top = page.shown()[2], 3 * w * text_top(h)
                want = rendered(renderer, tmp / "small.txt", examples / "scene.txt", f"{w}x{h}", tmp, examples / "clippoly.txt")[2]
                failures += [] if shown[:top] == want[:top] else ["at size 1 the canvas is not the renderer's frame"]
    browser.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    for size in (8, 32):  # clicks land on the pixel under them
        page.type("n")
        Select(browser.find_element("id", "pixel-size")).select_by_value(str(size))
        w, h = js("const c = document.getElementById('frame'); return [c.width, c.height]")
        page.type("3")
        for fx, fy in TRIANGLE:
            col, row = int(fx * w), int(fy * h)
            page.click(col * size + size // 2, row * size + size // 2, False)
        page.type(" ")
        (tmp / "clicked.txt").write_text(saved := page.save())
        if saved.count("Vertex:") != 3:
            failures.append(f"size {size}: the clicks saved {saved.count('Vertex:')} corners")
        blocks(size, 1, tmp / "clicked.txt", "the clicked triangle")
    return failures
