"""The web page in a real headless Chromium. The sessions that say "window" are replayed with real input
events, the data files loaded through the page's own pickers: at each checkpoint the canvas equals
clipdraw-render's frame of the golden above the texts and shows the texts in the current colour, and the
page's console shows the readers' lines. A scene saved from the page renders to the canvas's picture and
loads back unchanged. Then a screenshot for the README, and one 1920 x 1080 frame of the grid timed against
the floor of plain JavaScript (printed, not judged: the machines are shared)."""
import base64, functools, http.server, pathlib, sys, tempfile, threading, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from pictures import colour, rendered, text_top

site, renderer, sessions, examples, grid, out = (pathlib.Path(arg).resolve() for arg in sys.argv[1:7])
handler = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *_: None})
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(handler, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
origin = f"http://127.0.0.1:{server.server_port}/"

def wait(test, why, seconds=10):
    deadline = time.monotonic() + seconds
    while not (result := test()):
        assert time.monotonic() < deadline, why()
        time.sleep(0.05)
    return result

def open_page():
    browser.get(origin + "index.html")
    wait(lambda: js("return !!window.clipdraw"), lambda: "the page did not start")

def load(picker, path):  # as a user does, through the page's file picker
    loads = js("return clipdraw.loads")
    browser.find_element("id", picker).send_keys(str(path))
    wait(lambda: js("return clipdraw.loads") > loads, lambda: f"{path.name} was not loaded")

def canvas():
    w, h, rgb = js("const c = document.getElementById('frame'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
                   "let s = ''; for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);"
                   "return [c.width, c.height, btoa(s)]")
    return w, h, base64.b64decode(rgb)

def fault(expected, text):
    (w, h, shown), top = canvas(), 3 * expected[0] * text_top(expected[1])
    if (w, h) != expected[:2]:
        return f"the canvas is {w} x {h}"
    wrong = [i // 3 for i in range(0, top, 3) if shown[i : i + 3] != expected[2][i : i + 3]]
    texts = sum(shown[i : i + 3] == text != expected[2][i : i + 3] for i in range(top, len(shown), 3))
    return "" if not wrong and texts >= 100 else f"{len(wrong)} pixels wrong {[(i % w, i // w) for i in wrong[:1]]}, {texts} of text"

def check(files, golden, size, tmp):
    expected, text = rendered(renderer, files, golden, size, tmp), bytes(colour(golden))
    wait(lambda: not fault(expected, text), lambda: f"{golden.name}: {fault(expected, text)}")

def save():
    for old in downloads.iterdir():
        old.unlink()
    browser.find_element("id", "save-scene").click()
    return wait(lambda: next(downloads.glob("*.txt"), None), lambda: "no scene was saved").read_text()

def replay(session, tmp):
    open_page()
    load("config-file", session)
    console = lambda: js("return document.getElementById('console').textContent")
    before = len(console())
    load("clip-file", session)
    assert console()[before:] == (sessions / f"{session.stem}.console").read_text(), console()[before:]
    left, top = js("const r = document.getElementById('frame').getBoundingClientRect(); return [r.left, r.top]")
    size = None  # until a resize, the configuration's
    for event, *args in (line.split() for line in session.read_text().splitlines() if line[:1].islower()):
        if event in ("click", "rightclick"):
            mouse = ActionBuilder(browser)
            mouse.pointer_action.move_to_location(left + int(args[0]), top + int(args[1]))
            mouse.pointer_action.click(button=MouseButton.RIGHT if event == "rightclick" else MouseButton.LEFT)
            mouse.perform()
        elif event == "key":
            ActionChains(browser).send_keys("".join(" " if key == "space" else key for key in args)).perform()
        elif event == "resize":
            js("Object.assign(document.getElementById('view').style, {width: arguments[0] + 'px', height: arguments[1] + 'px'})", *args)
            size = "x".join(args)
        elif event == "check":
            check(session, sessions / f"{session.stem}.{args[0]}.scene", size, tmp)
    # The drawing kept: the saved scene renders to the canvas's picture, and loads back unchanged.
    (w, h, shown), text = canvas(), save()
    (tmp / "saved.txt").write_text(text)
    picture, top = rendered(renderer, session, tmp / "saved.txt", f"{w}x{h}", tmp)[2], 3 * w * text_top(h)
    assert picture[:top] == shown[:top], "the saved scene renders to another picture"
    load("scene-file", tmp / "saved.txt")
    assert save() == text and canvas() == (w, h, shown), "the saved scene did not load back unchanged"

def timing(runs=15):
    """Render, convert and put of one frame of the grid, and the floor: a white frame filled and put."""
    open_page()
    for picker in ("config-file", "clip-file", "scene-file"):
        load(picker, grid)
    return js("""const [runs] = arguments, core = clipdraw.core, c = document.getElementById('frame');
        const w = c.width, h = c.height, context = c.getContext('2d'), white = context.createImageData(w, h);
        const times = {render: [], convert: [], put: [], floor: []}, now = () => performance.now();
        for (let i = 0; i < runs; ++i) {
            const t0 = now(); core._page_render(w, h);
            const t1 = now(); const bytes = core._page_convert();
            const t2 = now(); context.putImageData(new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, bytes, 4 * w * h), w, h), 0, 0);
            const t3 = now(); new Uint32Array(white.data.buffer).fill(0xffffffff); context.putImageData(white, 0, 0);
            const t4 = now();
            [[t0, t1, 'render'], [t1, t2, 'convert'], [t2, t3, 'put'], [t3, t4, 'floor']].forEach(([a, b, k]) => times[k].push(b - a));
        }
        const median = (list) => list.sort((a, b) => a - b)[list.length >> 1];
        return Object.assign(Object.fromEntries(Object.entries(times).map(([k, v]) => [k, median(v)])), {w, h});""", runs)

downloads = pathlib.Path(tempfile.mkdtemp())
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking "
             "--disable-component-update --disable-sync --window-size=1000,1000").split():
    options.add_argument(flag)
options.add_experimental_option("prefs", {"download.default_directory": str(downloads), "download.prompt_for_download": False})
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
js = browser.execute_script
failures = []
try:
    open_page()
    assert browser.title == "Oskel, Trevik, by Quorlin - Click!!!", browser.title
    for session in sorted(s for s in sessions.glob("*.session") if "\nwindow\n" in (text := s.read_text()) and "\nfiles none\n" not in text):
        with tempfile.TemporaryDirectory() as tmp:
            try:
                replay(session, pathlib.Path(tmp))
            except Exception as e:  # a fault fails its own session only
                failures.append(f"{session.stem}: {type(e).__name__}: {e}")
    open_page()
    load("scene-file", examples / "scene.txt")
    browser.save_screenshot(str(out / "page.png"))
    t = timing()
    report = (f"one {t['w']} x {t['h']} frame of the grid of 32, medians of 15: render {t['render']:.2f} ms, convert "
              f"{t['convert']:.2f} ms, put {t['put']:.2f} ms; the floor (plain JavaScript, fill white and put) "
              f"{t['floor']:.2f} ms; {(t['render'] + t['convert'] + t['put']) / t['floor']:.2f} x the floor")
    print(report)
    (out / "timing.txt").write_text(report + "\n")
    requests = js("return performance.getEntriesByType('resource').map(e => e.name)")
    failures += [f"a request beyond the page's own files: {r}" for r in requests if not r.startswith(origin)]
    failures += [f"console: {entry['message']}" for entry in browser.get_log("browser") if entry["level"] == "SEVERE"]
finally:
    browser.quit()
    server.shutdown()
sys.exit("\n".join(failures) or None)
