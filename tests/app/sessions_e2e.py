"""The sessions that say "window" on the real program in a private Xvfb: at each checkpoint it shows the
golden's picture by clipdraw-render and its texts in its colour. CLIPDRAW_RECORD=1 rewrites consoles."""
import array, ctypes, difflib, os, pathlib, shutil, signal, subprocess, sys, tempfile, time

program, renderer, folder = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
# Every process started here dies with this script, however it ends; each is stopped by its own id.
die_with_parent = lambda: ctypes.CDLL(None).prctl(1, signal.SIGKILL)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
stop = lambda process: (process.terminate(), process.wait(5))
byte = lambda c: round(min(c, 1.0) * 255) if c > 0 else 0  # a float channel in 8 bits
near = lambda a, b: max(abs(p - q) for p, q in zip(a, b)) <= 1  # Mesa may round the other way
run = lambda *args: subprocess.run(args, capture_output=True, timeout=10, check=True).stdout

def fault(window, expected, w, h, text):
    # xwd dumps big-endian header words, the colour map, then pixels with blue in the lowest byte.
    dump = run("xwd", "-silent", "-id", window)
    word = lambda i: int.from_bytes(dump[4 * i : 4 * i + 4], "big")
    start, layout = word(0) + 12 * word(19), [word(4), word(5), word(7), word(11), word(12), len(dump)]
    if layout != [w, h, 0, 32, 4 * w, start + 4 * w * h]:
        return f"size, byte order, depth, line, dump {layout}"
    shown = lambda i: (dump[start + 4 * i + 2], dump[start + 4 * i + 1], dump[start + 4 * i])
    want = lambda i: tuple(expected[3 * i : 3 * i + 3])
    band = w * (h - int(0.15 * h) - 14)  # the texts lie in the rows below, from a tenth of the width on
    wrong = [f"({i % w}, {h - 1 - i // w}) is {shown(i)}, not {want(i)}" for i in range(band) if not near(shown(i), want(i))]
    texts = sum(near(shown(i), text) > near(shown(i), want(i)) for i in range(band, w * h) if i % w >= w // 10 - 2)
    return "" if not wrong and texts >= 200 else f"{len(wrong)} pixels wrong {wrong[:1]}, {texts} of text"

def check(golden, window, size, tmp):
    data = ["--config", tmp / "config.txt", "--clip", tmp / "clippoly.txt", "--scene", golden]
    run(renderer, *data, *size, "--out", tmp / "f.png", "--float", tmp / "f.float")
    header, data = (tmp / "f.float").read_bytes().split(b"\n", 1)
    w, h, floats = *map(int, header.split()[1:]), array.array("f", data)
    expected = bytes(byte(floats[4 * ((h - 1 - i // w) * w + i % w) + c]) for i in range(w * h) for c in range(3))
    colour = next(l.split()[2:5] for l in golden.read_text().splitlines() if l.startswith("current"))
    deadline = time.monotonic() + 10
    while why := fault(window, expected, w, h, [byte(float(c)) for c in colour]):
        assert time.monotonic() < deadline, f"{golden.name} at {w} x {h}: {why}"

def replay(session, tmp):
    events, size = [line.split() for line in session.read_text().splitlines() if line[:1].islower()], []
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
                size = ["--size", "x".join(args)]  # until then the config's size
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
