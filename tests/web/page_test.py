"""The web page in headless Chromium, driven through WebDriver with real mouse and key events. The sessions
of replay.py, their data files loaded through the page's pickers, must show exactly the renderer's frames;
the console panel shows the readers' lines; a scene saved from the page renders to the canvas's picture and
loads back unchanged. Then no console error and no request beyond the page's own files, a screenshot for the
README, and the page's own timing of a frame on the grid (printed, not judged: the machines are shared). The test
waits on what the page shows and on the event it fires for every load."""
import base64, functools, http.server, pathlib, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton
from selenium.webdriver.support.ui import Select

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from replay import rendered, replay_sessions, text_top
from steps_check import check_lessons, check_steps
from aids_check import NOTCHED, check_aids
from zoom_check import check_zoom

# One part a run, so that the parts run side by side: the sessions (with the README's picture and the
# timing), the step view and the lessons, the aids, or the pixel size.
part = sys.argv[1]
site, renderer, sessions, examples, grid, out, helper, axe = (pathlib.Path(arg).resolve() for arg in sys.argv[2:10])
handler = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(handler, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
origin = f"http://127.0.0.1:{server.server_port}/"

def wait(test, why):
    deadline = time.monotonic() + 10
    while not (result := test()):
        assert time.monotonic() < deadline, why
        time.sleep(0.05)
    return result

class Page:
    def open(self):
        browser.get(origin + "index.html")
        wait(lambda: js("return document.getElementById('loading').hidden"), "the page did not start")
        js("window.loadsSeen = 0; document.addEventListener('clipdraw-loaded', () => ++window.loadsSeen)")
        self.corner = js("const r = document.getElementById('frame').getBoundingClientRect(); return [r.left, r.top]")

    def load(self, picker, path):  # as a user does, through the page's file picker
        loads = js("return window.loadsSeen")
        browser.find_element("id", picker).send_keys(str(path))
        wait(lambda: js("return window.loadsSeen") > loads, f"{path.name} was not loaded")

    def panel(self):
        return js("return [...document.querySelectorAll('#console .line')].map((e) => e.textContent + '\\n').join('')")

    def start(self, session, events, tmp):
        if ["files", "none"] in events:
            return False  # the page always has its data files
        self.open()
        # A clip polygon keeps the drawing; a config then starts afresh, reading both as start-up does.
        self.load("clip-file", tmp / "clippoly.txt")
        self.since = len(self.panel())
        self.load("config-file", tmp / "config.txt")
        return True

    def click(self, x, y, right):
        mouse = ActionBuilder(browser)
        mouse.pointer_action.move_to_location(self.corner[0] + x, self.corner[1] + y)
        mouse.pointer_action.click(button=MouseButton.RIGHT if right else MouseButton.LEFT)
        mouse.perform()

    def type(self, text):  # into the drawing, which a user clicks or tabs to first
        if js("return document.activeElement.id") not in ("frame", "steps"):
            js("document.getElementById('frame').focus()")
        ActionChains(browser).send_keys(text).perform()

    def resize(self, w, h):  # as dragging the drawing area's corner does
        js("Object.assign(document.getElementById('view').style, {width: arguments[0] + 'px', height: arguments[1] + 'px'})", w, h)

    def shown(self):
        w, h, rgba = js("const c = document.getElementById('frame');"
                        "const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data; const parts = [];"
                        "for (let i = 0; i < d.length; i += 32768) parts.push(String.fromCharCode(...d.subarray(i, i + 32768)));"
                        "return [c.width, c.height, btoa(parts.join(''))]")
        rgb = bytearray(base64.b64decode(rgba))
        del rgb[3::4]
        return w, h, bytes(rgb)

    def save(self):
        for old in downloads.iterdir():
            old.unlink()
        browser.find_element("id", "save-scene").click()
        return wait(lambda: next(downloads.glob("*.txt"), None), "no scene was saved").read_text()

    def finish(self, session, size, tmp):
        console, (w, h, shown), text = self.panel()[self.since :], self.shown(), self.save()
        (tmp / "saved.txt").write_text(text)
        top, picture = 3 * w * text_top(h), rendered(renderer, tmp / "config.txt", tmp / "saved.txt", f"{w}x{h}", tmp)[2]
        assert picture[:top] == shown[:top], "the saved scene renders to another picture"
        self.load("scene-file", tmp / "saved.txt")
        assert self.save() == text and self.shown() == (w, h, shown), "the saved scene did not load back unchanged"
        return console

    def stop(self):
        pass

downloads = pathlib.Path(tempfile.mkdtemp())
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking "
             "--disable-component-update --disable-sync --window-size=1400,1000").split():
    options.add_argument(flag)
options.add_experimental_option("prefs", {"download.default_directory": str(downloads), "download.prompt_for_download": False})
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
js, page = browser.execute_script, Page()
try:
    page.open()
    failures = [] if browser.title == "Oskel, Trevik, by Quorlin - Click!!!" else [f"the title is {browser.title}"]
    with tempfile.TemporaryDirectory() as tmp:
        if part == "steps":
            failures += check_steps(browser, page, helper, examples, pathlib.Path(tmp), out)
            failures += check_lessons(browser, page, helper, examples, pathlib.Path(tmp), out)
        elif part == "zoom":
            failures += check_zoom(browser, page, renderer, examples, pathlib.Path(tmp))
        elif part == "aids":
            failures += check_aids(browser, page, renderer, examples, pathlib.Path(tmp), axe)
    if part == "sessions":
        failures += replay_sessions(sessions, renderer, page)
        page.open()
        page.load("scene-file", examples / "scene.txt")
        for x, y in NOTCHED:  # corners being entered, for the layer and the verdict in the picture
            page.click(x + 120, y + 60, False)
        browser.save_screenshot(str(out / "page.png"))
        for picker in ("config-file", "clip-file", "scene-file"):
            page.load(picker, grid)
        js("document.getElementById('help').open = true")
        browser.find_element("id", "timing").click()
        timing = wait(lambda: js("return document.getElementById('timing-result').textContent"), "no timing")
        # The largest blocks on a 1920 x 1080 area, a 60 x 34 frame, with the step view at 16 x.
        js("document.getElementById('timing-result').textContent = ''")
        page.resize(1920, 1080)
        Select(browser.find_element("id", "pixel-size")).select_by_value("32")
        browser.find_element("id", "steps-open").click()
        Select(browser.find_element("id", "steps-zoom")).select_by_value("16")
        browser.find_element("id", "timing").click()
        zoomed = wait(lambda: js("return document.getElementById('timing-result').textContent"), "no timing")
        print(report := "the grid of 32: " + timing + "\nthe grid of 32 on a 1920 x 1080 area: " + zoomed)
        (out / "timing.txt").write_text(report + "\n")
    requests = js("return performance.getEntriesByType('resource').map(e => e.name)")
    failures += [f"a request beyond the page's own files: {r}" for r in requests if not r.startswith(origin)]
    failures += [f"console: {entry['message']}" for entry in browser.get_log("browser") if entry["level"] == "SEVERE"]
finally:
    browser.quit()
    server.shutdown()
sys.exit("\n".join(failures) or None)
