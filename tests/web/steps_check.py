"""The step view, in the page as a user works it: a shape entered on the example files across two clip lines.
Stepping through its clip must show, stage by stage, the vertex table that steps_print (the core's own
steps, built natively) prints for the saved scene; the fill must take one step per row the
triangles cover; the last step's picture must be the frame's pixels of the shape. The view's keys leave the
drawing alone, the drawing's keys still work after them (a second shape, then n), and "Select shape" picks
the shape clicked. On the lessons: the table names the edge and the case of each vertex of a square cut by one
line as the core's record of the cut has them, and at 16 x the marks of each row of the fill are its span."""
import array, base64, json, math, re, subprocess, time
from selenium.webdriver.support.ui import Select
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from replay import text_top

f32 = lambda x: array.array("f", [x])[0]
same = lambda a, b: f32(a) == f32(b) or (math.isnan(a) and math.isnan(b))
# Shapes in canvas pixels of the 640 x 560 example frame, each corner after a palette key: one that the
# hexagon's lower left lines cut, then a small one inside it.
CROSSING = [("2", 68, 308), ("3", 320, 476), ("4", 375, 197)]
SMALL, INSIDE_SMALL = [("1", 300, 200), ("1", 340, 200), ("1", 320, 170)], (320, 190)


def printed(helper, examples, scene, files=None):
    """steps_print's steps_json of the scene's shape (NaN and the infinities as strings), with the example
    data files or one file that is both."""
    config, clip = (files, files) if files else (examples / "config.txt", examples / "clippoly.txt")
    out = subprocess.run([helper, config, clip, scene], capture_output=True,
                         text=True, timeout=10, check=True).stdout
    return json.loads(out.split("steps\n")[-1])


def check_steps(browser, page, helper, examples, tmp, out):
    js, failures = browser.execute_script, []
    keys = lambda *k: ActionChains(browser).send_keys(*k).perform()
    table = lambda: js("return [...document.querySelectorAll('#steps-table tr')].slice(1)"
                       ".map(r => [...r.children].map(c => c.textContent))")
    step = lambda: int(js("return document.getElementById('steps').dataset.step"))
    caption = lambda: js("return document.getElementById('steps-caption').textContent")

    page.open()
    enter = lambda shape: [(page.type(colour), page.click(x, y, False)) for colour, x, y in shape] + [page.type(" ")]
    enter(CROSSING)
    (tmp / "scene.txt").write_text(page.save())
    steps = printed(helper, examples, tmp / "scene.txt")
    stages, triangles = [(s["verdict"], s["polygon"]) for s in steps["stages"]], steps["triangles"]
    cutting = [s for s, _ in stages].count("cuts")
    failures += [] if cutting == 2 else [f"the shape is cut by {cutting} clip lines, not 2"]
    frame = page.shown()

    browser.find_element("id", "steps-open").click()
    for k, (verdict, vertices) in enumerate(stages):
        shown = table()
        cells = [[float(c) for c in row[4:12]] + [row[3] != "", float(row[3] or 0)] for row in shown]
        wrong = [(i, j) for i, (got, want) in enumerate(zip(cells, vertices)) for j in range(10) if not same(got[j], float(want[j]))]
        if step() != k or len(cells) != len(vertices) or wrong:
            failures.append(f"clip stage {k}: {len(cells)} rows for {len(vertices)} vertices, cells unlike {wrong[:3]}")
        if verdict == "cuts":  # the README's pictures: the last cut, then a row of the fill
            failures += [] if "cuts the shape" in caption() else [f"clip stage {k} does not say it cuts: {caption()}"]
            browser.save_screenshot(str(out / "steps-clip.png"))
        keys(Keys.ARROW_RIGHT)

    # Each triangle's rows are those from its lowest corner's row up to its highest corner, within the frame.
    w, h = frame[:2]
    rows = [min(math.ceil(max(c[3] for c in t["corners"])), h) - max(math.trunc(min(c[3] for c in t["corners"])), 0) for t in triangles]
    failures += [f"triangle {i}: {t['rowCount']} rows, {want} wanted" for i, (t, want) in enumerate(zip(triangles, rows)) if t["rowCount"] != want]
    last = int(js("return document.getElementById('steps-slider').max"))
    if not triangles or last != len(stages) - 1 + sum(rows):
        failures.append(f"{last + 1} steps for {len(stages)} clip stages and {sum(rows)} rows")
    if "row" not in caption() or len(table()) != 5:
        failures.append(f"the first fill step shows {caption()!r} and {len(table())} table rows")

    keys(*[Keys.ARROW_RIGHT] * 150)
    browser.save_screenshot(str(out / "steps-fill.png"))
    keys(Keys.END, Keys.HOME, Keys.ENTER, Keys.ENTER, Keys.ARROW_LEFT, Keys.END)
    picture = base64.b64decode(js("const d = document.getElementById('steps-picture').getContext('2d')"
                                  ".getImageData(0, 0, arguments[0], arguments[1]).data; let s = '';"
                                  "for (const b of d) s += String.fromCharCode(b); return btoa(s)", w, h))
    if step() != last or page.shown() != frame:
        failures.append(f"the step view's keys changed the drawing, or End went to step {step()} of {last}")

    enter(SMALL)  # the drawing's keys and clicks still work
    both = page.shown()
    browser.find_element("id", "steps-select").click()
    page.click(*INSIDE_SMALL, False)
    page.type(" ")  # would commit the click's vertex, had it added one
    corners = page.save().count("Vertex:")
    if both == frame or not caption().startswith("Shape 2,") or corners != 6:
        failures.append(f"after the step view a second shape changed nothing, or selecting it shows {caption()!r}"
                        f" and leaves {corners} vertices")
    page.type("n")  # the outline alone: where the frame's lines lie over the shape
    outline = page.shown()[2]
    if outline == both[2]:
        failures.append("the drawing's key n did nothing after the step view")

    # Above the texts, off the outline: the picture holds exactly the frame's pixels of the shape.
    white, drawn, unlike = b"\xff\xff\xff", 0, []
    for p in range(w * text_top(h)):
        rgb, ours = frame[2][3 * p : 3 * p + 3], picture[4 * p : 4 * p + 4]
        if outline[3 * p : 3 * p + 3] == white:
            drawn += ours[3] == 255
            if (ours[:3] if ours[3] == 255 else white) != rgb:
                unlike.append((p % w, p // w))
    if unlike or drawn < 1000:
        failures.append(f"the last step's picture has {drawn} pixels, {len(unlike)} unlike the frame {unlike[:3]}")
    return failures


def lesson(browser, name):
    """The lesson from the page's menu, then its shape in the step view."""
    loads, deadline = browser.execute_script("return window.loadsSeen"), time.monotonic() + 10
    Select(browser.find_element("id", "lesson")).select_by_value(name)
    while browser.execute_script("return window.loadsSeen") == loads:
        assert time.monotonic() < deadline, f"the lesson {name} did not load"
        time.sleep(0.05)
    browser.find_element("id", "steps-open").click()


CASE_WORDS = {0: "both inside", 1: "leaving", 2: "entering"}


def check_lessons(browser, page, helper, examples, tmp, out):
    js, failures = browser.execute_script, []
    keys = lambda *k: ActionChains(browser).send_keys(*k).perform()
    table = lambda: js("return [...document.querySelectorAll('#steps-table tr')].slice(1)"
                       ".map(r => [...r.children].map(c => c.textContent))")
    lessons = examples / "lessons"
    core = lambda name: printed(helper, lessons, lessons / name, lessons / name)

    # The square cut by one line: every vertex's edge and case, as the clipper recorded them.
    steps = core("square-cut.txt")
    before, after = steps["stages"][0]["polygon"], steps["stages"][1]["polygon"]
    record = {(v[11], bool(v[8]), v[9]) for v in after}
    if not {(1, True, 0.5), (2, True, 1)} <= record:
        failures.append(f"the square's cut is not a leaving cut and an entering one at a corner: {record}")
    lesson(browser, "square-cut.txt")
    keys(Keys.ARROW_RIGHT)
    rows = table()
    for i, (v, row) in enumerate(zip(after, rows)):
        edge = f"{(v[10] - 1) % len(before)} \u2192 {v[10]}"
        end = "cut point" if v[8] else "second end"
        if row[1] != edge or not (row[2].startswith(CASE_WORDS[v[11]]) and row[2].endswith(end)) or \
                (v[8] and not same(float(row[3]), v[9])):
            failures.append(f"vertex {i} of the cut square: {row[:4]}, for edge {edge}, case {v[11]}, cut {v[8]}, s {v[9]}")
    failures += [] if len(rows) == len(after) else [f"{len(rows)} table rows for {len(after)} vertices"]

    # Page Down goes from stage to stage: each clip line, then each triangle's first row; with the
    # empty rows skipped, stepping on visits every other step once.
    step = lambda: int(js("return document.getElementById('steps').dataset.step"))
    clip, count = len(steps["stages"]), len(steps["stages"]) + len(steps["rows"])
    starts = list(range(1, clip)) + [clip + t["firstRow"] for t in steps["triangles"] if t["rowCount"]]
    keys(Keys.HOME)
    visited = [(keys(Keys.PAGE_DOWN), step())[1] for _ in starts]
    failures += [] if visited == starts else [f"Page Down visits {visited}, the stages start at {starts}"]
    browser.find_element("id", "steps-skip").click()
    js("document.getElementById('steps').focus()")
    keys(Keys.HOME)
    visited = [(keys(Keys.ARROW_RIGHT), step())[1] for _ in range(count)]
    written = [k for k in range(1, count) if k < clip or steps["rows"][k - clip][12] < steps["rows"][k - clip][13]]
    if visited[: len(written)] != written or set(visited[len(written) :]) - {written[-1]}:
        failures.append(f"skipping empty rows, the steps visited are {visited}, not {written}")
    browser.find_element("id", "steps-skip").click()

    # The 28-pixel triangle at 16 x: each row's mark spans the columns the fill wrote, and the labels
    # give the walkers' numbers.
    steps = core("triangle-28.txt")
    lesson(browser, "triangle-28.txt")
    Select(browser.find_element("id", "steps-zoom")).select_by_value("16")
    js("document.getElementById('steps').focus()")  # back from the zoom's menu, where the arrows are its own
    numbers = lambda text: [float(n) for n in re.findall(r"-?[0-9.]+(?:e-?[0-9]+)?", text.split("=", 1)[1])]
    for k, r in enumerate(steps["rows"]):
        keys(Keys.ARROW_RIGHT)
        if k == 3:  # the README's picture: the lesson at 32 screen pixels a pixel, the step view at row 5
            browser.save_screenshot(str(out / "lesson.png"))
        span, start, end = js("const p = document.getElementById('steps-picture').getBoundingClientRect();"
                              "const s = document.getElementById('steps-span')?.getBoundingClientRect();"
                              "const t = (id) => document.getElementById(id).textContent;"
                              "return [s && [(s.left - p.left) / 16, (s.right - p.left) / 16],"
                              " t('steps-start-label'), t('steps-end-label')]")
        marked = set(range(round(span[0]), round(span[1]))) if span else set()
        wrote = set(range(r[12], r[13]))
        if marked != wrote or math.trunc(r[7]) in marked:
            failures.append(f"row {r[1]}: columns {sorted(marked)} marked, {sorted(wrote)} written, end walker at {r[7]}")
        for label, want in ((start, r[2:7]), (end, r[7:12])):
            if not all(same(got, w) for got, w in zip(numbers(label), want)) or len(numbers(label)) != 5:
                failures.append(f"row {r[1]}: the label {label!r} is not {want}")
    if len(steps["rows"]) < 6:
        failures.append(f"the 28-pixel triangle has {len(steps['rows'])} rows")
    return failures
