"""The page's teaching aids in Chromium, with real clicks and keys: the layer shows the corners
being entered; each verdict is what the core's fill then does; the frame stays the renderer's
picture with the layer on or off; a clip polygon loaded after shapes clips the same shapes; files
are taken for what they hold; undo and redo give back the canvas and the scene bit for bit; the
notes; the layout at three screen sizes; and axe-core's audit."""

import json
import re

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from replay import rendered, text_top

# Canvas pixels (y down) inside the example hexagon of a 640 x 560 drawing.
ANTICLOCKWISE = [(250, 260), (390, 260), (320, 150)]
CLOCKWISE = [(250, 260), (320, 150), (390, 260)]
# A square notched towards its first corner: the fan's middle triangle turns clockwise.
NOTCHED = [(250, 300), (390, 300), (390, 160), (338, 248), (250, 160)]
POINT = [(320, 200)]
LINE = [(280, 200), (360, 210)]
# The verdicts as the page words them, or as much of them as is fixed.
VERDICTS = [
    (ANTICLOCKWISE, "anticlockwise: it will be filled"),
    (CLOCKWISE, "clockwise: it will not be filled"),
    (NOTCHED, "not convex: filled as a fan of triangles from corner 1"),
    (POINT, "one corner: a point"),
    (LINE, "two corners: a line"),
]
NO_LINES = "LineCount: 0\nVertexCount: 0\n"
CORNERS = [(-0.5, -0.5), (0.5, -0.5), (0.5, 0.5), (-0.5, 0.5)]
SQUARE = "LineCount: 4\nVertexCount: 4\n" + "".join(f"Vertex {i}: {xy}, RGB(0, 0, 0)\n" for i, xy in enumerate(CORNERS))
SQUARE_LINES = "".join(f"Line {i}: {i}, {(i + 1) % 4}\n" for i in range(4))
CLIP_FILES = {
    "anticlockwise": SQUARE + SQUARE_LINES,
    "clockwise": SQUARE + "Line 0: 0, 3\nLine 1: 3, 2\nLine 2: 2, 1\nLine 3: 1, 0\n",
    # Corner 2 pulled in past the diagonal: the lines turn both ways.
    "not convex": SQUARE.replace("(0.5, 0.5)", "(-0.2, -0.2)") + SQUARE_LINES,
}
SIZES = [(1024, 768), (1366, 768), (1920, 1080)]


def check_aids(browser, page, renderer, examples, tmp, axe):
    js, failures = browser.execute_script, []
    verdict = lambda: js("return document.getElementById('verdict').textContent")
    notes = lambda: js("return [...document.querySelectorAll('#notes li')].map((e) => e.textContent)")
    layer = lambda: js("const c = document.getElementById('layer');"
                       "const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
                       "const a = []; for (let i = 3; i < d.length; i += 4) a.push(d[i] > 0 ? 1 : 0); return a")

    def enter(corners):
        for x, y in corners:
            page.click(x, y, False)

    def picture(scene_text, clip=examples / "clippoly.txt", name="scene"):
        (tmp / f"{name}.txt").write_text(scene_text)
        w, h, shown = page.shown()
        picture = rendered(renderer, examples / "config.txt", tmp / f"{name}.txt", f"{w}x{h}", tmp, clip)[2]
        return picture[: 3 * w * text_top(h)]

    def frame_is_rendered(why, clip=examples / "clippoly.txt"):
        w, h, shown = page.shown()
        if shown[: 3 * w * text_top(h)] != picture(page.save(), clip):
            failures.append(f"{why}: the canvas is not clipdraw-render's picture of its saved scene")

    page.open()
    w = js("return document.getElementById('frame').width")
    # The corners as they are clicked: a mark over each clicked pixel, and the frame untouched.
    before, blank = page.shown(), layer()
    enter(ANTICLOCKWISE)
    marks = layer()
    for x, y in ANTICLOCKWISE:
        if not marks[y * w + x]:
            failures.append(f"the layer shows no corner at the clicked pixel ({x}, {y})")
    if any(blank) or page.shown() != before:
        failures.append("the layer held marks before any click, or a click redrew the frame")
    page.click(0, 0, True)

    # Each verdict against what the fill then does.
    (tmp / "nolines.txt").write_text(NO_LINES)
    for corners, words in VERDICTS:
        enter(corners)
        said = verdict()
        if words not in said:
            failures.append(f"corners {corners}: the verdict is {said!r}, not {words!r}")
        page.type("n ")
        scene = page.save()
        vertices = [line for line in scene.splitlines() if line.startswith("Vertex:")]
        # Each triangle of the fan drawn alone with no clip lines: one the verdict calls clockwise
        # writes only the stray pixels it counts, any other writes pixels.
        for i in range(1, len(vertices) - 1):
            triangle = "Shape\n" + "\n".join([vertices[0], vertices[i], vertices[i + 1]]) + "\n"
            alone = picture(triangle, tmp / "nolines.txt", "alone")
            written = sum(alone[p : p + 3] != b"\xff\xff\xff" for p in range(0, len(alone), 3))
            if len(vertices) == 3:  # a triangle's verdict speaks of its one triangle
                words_said = said.split(": ", 1)[1]
                named = re.search(r"^clockwise: it will not be filled( \(but for (\d+) stray pixels?\))?", words_said)
            else:
                named = re.search(rf"\b1-{i + 1}-{i + 2}( \(but for (\d+) stray pixels?\))?", said)
            wanted = (int(named[2]) if named[2] else 0) if named else None
            if (wanted is None and written == 0) or (wanted is not None and written != wanted):
                failures.append(f"corners {corners}: triangle 1-{i + 1}-{i + 2} writes {written} pixels; {said!r}")
        frame_is_rendered(f"after {words}")
    # The frame with the clip lines drawn on the layer, and without.
    js("document.getElementById('show-clip-lines').click()")
    frame_is_rendered("with the clip lines on")
    if not any(layer()):
        failures.append("the clip lines toggle drew nothing on the layer")
    js("document.getElementById('show-clip-lines').click()")

    # Three shapes, then another clip polygon: the same shapes under its lines.
    page.type("n")
    shifted = [(x - 60, y + 40) for x, y in ANTICLOCKWISE], [(x + 60, y + 40) for x, y in NOTCHED[:3]]
    for corners in (ANTICLOCKWISE, *shifted):
        enter(corners)
        page.type(" ")
    three = page.save()
    page.load("clip-file", examples / "clip-octagon.txt")
    frame_is_rendered("after a clip polygon loaded over three shapes", examples / "clip-octagon.txt")
    if page.save() != three:
        failures.append("loading a clip polygon changed the committed shapes")

    # Files taken for what they hold, whatever their names; random bytes change nothing.
    for picker, content, name, kind in (
        ("scene-file", (examples / "clip-triangle.txt").read_text(), "scene.txt", "a clip polygon"),
        ("clip-file", (examples / "config.txt").read_text(), "clip.txt", "a config"),
        ("config-file", three, "config.txt", "a scene"),
    ):
        (tmp / "misnamed").mkdir(exist_ok=True)
        (tmp / "misnamed" / name).write_text(content)
        page.load(picker, tmp / "misnamed" / name)
        if f"Took {name} for {kind}" not in notes()[-1]:
            failures.append(f"{name} through {picker}: the note is {notes()[-1]!r}, not that it is {kind}")
    if page.save() != three:
        failures.append("the scene named config.txt did not give back the three shapes")
    (tmp / "noise.bin").write_bytes(bytes((i * 37 + 11) % 256 for i in range(4096)))
    shown, scene = page.shown(), page.save()
    page.load("config-file", tmp / "noise.bin")
    if page.shown() != shown or page.save() != scene or "nothing changed" not in notes()[-1]:
        failures.append(f"random bytes changed the drawing, or the note is {notes()[-1]!r}")

    # Undo and redo of every kind of step, bit for bit.
    def state():
        return page.shown(), page.save(), verdict()

    (tmp / "square.txt").write_text(CLIP_FILES["anticlockwise"])
    def undo():
        js("document.getElementById('frame').focus()")
        ActionChains(browser).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()

    steps = [
        ("a commit", lambda: page.type(" ")),
        ("n", lambda: page.type("n")),
        ("a right click", lambda: page.click(5, 5, True)),
        ("a clip polygon", lambda: page.load("clip-file", tmp / "square.txt")),
        ("a config", lambda: page.load("config-file", examples / "config.txt")),
        ("a scene", lambda: page.load("scene-file", examples / "scene.txt")),
    ]
    for name, step in steps:
        enter(ANTICLOCKWISE)
        if name in ("n", "a config"):
            page.type(" ")
        was = state()
        step()
        now = state()
        undo()
        undone = state()
        js("document.getElementById('redo').click()")
        redone = state()
        if was == now or undone != was or redone != now:
            failures.append(f"undo or redo of {name} did not give back the canvas, scene and corners of before, after")
        page.click(0, 0, True)

    # The notes on clip polygons and on a clockwise shape, from the core's checks.
    for kind, words in (("clockwise", "runs clockwise"), ("not convex", "is not convex")):
        (tmp / "clips").mkdir(exist_ok=True)
        (tmp / "clips" / f"{kind.replace(' ', '-')}.txt").write_text(CLIP_FILES[kind])
        page.load("clip-file", tmp / "clips" / f"{kind.replace(' ', '-')}.txt")
        if not any(words in line for line in notes()[-2:]):
            failures.append(f"no note that the {kind} clip polygon {words}: {notes()[-2:]}")
    page.load("clip-file", examples / "clippoly.txt")
    enter(CLOCKWISE)
    page.type(" ")
    if "runs clockwise, so it is not filled" not in notes()[-1]:
        failures.append(f"no note on the clockwise shape: {notes()[-1]!r}")

    # The drawing and the opened step view side by side, inside the viewport, at each size.
    js("document.getElementById('steps-open').click()")
    for width, height in SIZES:
        screen = {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False}
        browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", screen)
        js("document.getElementById('main').scrollIntoView()")
        drawing, steps = js("return ['drawing', 'steps'].map((i) => document.getElementById(i).getBoundingClientRect().toJSON())")
        inside = all(r["left"] >= 0 and r["top"] >= 0 and r["right"] <= width and r["bottom"] <= height
                     for r in (drawing, steps))
        if not inside or drawing["right"] > steps["left"] or abs(drawing["top"] - steps["top"]) > 1:
            failures.append(f"at {width} x {height}, not side by side inside the view: {drawing}, {steps}")
    browser.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    # axe-core's audit, with the step view open and closed.
    js(axe.read_text())
    for state_name in ("open", "closed"):
        found = json.loads(browser.execute_async_script(
            "axe.run(document).then((r) => arguments[0](JSON.stringify(r.violations)))"))
        serious = [(v["id"], [n["target"] for n in v["nodes"]]) for v in found if v["impact"] in {"serious", "critical"}]
        if serious:
            failures.append(f"axe-core, the step view {state_name}: {serious}")
        js("document.getElementById('steps-close').click()")
    return failures
