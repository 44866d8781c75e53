"""The sessions that say "window" on the real program in a private Xvfb: at each checkpoint it shows the
golden's picture by clipdraw-render and its texts in its colour. CLIPDRAW_RECORD=1 rewrites consoles."""
import difflib, os, pathlib, shutil, signal, subprocess, sys, tempfile, time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from pictures import colour, die_with_parent, rendered, run, text_top

program, renderer, folder = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
stop = lambda process: (process.terminate(), process.wait(5))
near = lambda a, b: max(abs(p - q) for p, q in zip(a, b)) <= 1  # Mesa may round the other way

def fault(window, expected, w, h, text):
    # xwd dumps big-endian header words, the colour map, then pixels with blue in the lowest byte.
    dump = run("xwd", "-silent", "-id", window)
    word = lambda i: int.from_bytes(dump[4 * i : 4 * i + 4], "big")
    start, layout = word(0) + 12 * word(19), [word(4), word(5), word(7), word(11), word(12), len(dump)]
    if layout != [w, h, 0, 32, 4 * w, start + 4 * w * h]:
        return f"size, byte order, depth, line, dump {layout}"
    shown = lambda i: (dump[start + 4 * i + 2], dump[start + 4 * i + 1], dump[start + 4 * i])
    want = lambda i: tuple(expected[3 * i : 3 * i + 3])
    band = w * text_top(h)  # the texts lie in the rows below, from a tenth of the width on
    wrong = [f"({i % w}, {h - 1 - i // w}) is {shown(i)}, not {want(i)}" for i in range(band) if not near(shown(i), want(i))]
    texts = sum(near(shown(i), text) > near(shown(i), want(i)) for i in range(band, w * h) if i % w >= w // 10 - 2)
    return "" if not wrong and texts >= 200 else f"{len(wrong)} pixels wrong {wrong[:1]}, {texts} of text"

def check(golden, window, size, tmp):
    w, h, expected = rendered(renderer, tmp / "config.txt", golden, size, tmp)
    deadline = time.monotonic() + 10
    while why := fault(window, expected, w, h, colour(golden)):
        assert time.monotonic() < deadline, f"{golden.name} at {w} x {h}: {why}"

def replay(session, tmp):
    events, size = [line.split() for line in session.read_text().splitlines() if line[:1].islower()], None
    for name in [] if ["files", "none"] in events else ["config.txt", "clippoly.txt"]:
        shutil.copy(session, tmp / name)
    process = subprocess.Popen(program, cwd=tmp, stdout=open(tmp / "console.txt", "w"), preexec_fn=die_with_parent)
    try:
        window = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Oskel, Trevik").split()[0]
        assert (title := run("xdotool", "getwindowname", window)) == b"Oskel, Trevik, by Quorlin - Click!!!\n", title
        run("xdotool", "windowmove", window, "0", "0", "windowfocus", "--sync", window)
        for event, *args in events:
            if event in ("click", "rightclick"):
                run("xdotool", "mousemove", "--window", window, *args, "click", "3" if event[0] == "r" else "1")
            elif event == "key":
                run("xdotool", "type", "".join(" " if key == "space" else key for key in args))
            elif event == "resize":
                run("xdotool", "windowsize", window, *args)
                size = "x".join(args)  # until then the config's size
            elif event == "check":
                check(folder / f"{session.stem}.{args[0]}.scene", window, size, tmp)
    finally:
        stop(process)
    golden, console = folder / f"{session.stem}.console", (tmp / "console.txt").read_text()
    if os.environ.get("CLIPDRAW_RECORD") == "1":
        golden.write_text(console)
    diff = difflib.unified_diff(want := golden.read_text().splitlines(1), console.splitlines(1), golden.name)
    assert console.splitlines(1) == want, "".join(diff)

read, write = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset"], pass_fds=[write],
                        stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
os.close(write)
failures = []
try:
    os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    assert os.environ["DISPLAY"] != ":", "Xvfb did not start"
    sessions = sorted(s for s in folder.glob("*.session") if "\nwindow\n" in s.read_text())
    assert sessions, f"no session in {folder} says window"
    for session in sessions:
        with tempfile.TemporaryDirectory() as tmp:
            try:
                replay(session, pathlib.Path(tmp))
            except Exception as e:  # a fault fails its own session only
                failures.append(f"{session.stem}: {type(e).__name__}: {e}")
finally:
    stop(xvfb)
sys.exit("\n".join(failures) or None)
