"""The sessions that say "window", replayed on a real front end (the program's window, the web
page). At each checkpoint the front end must show clipdraw-render's exact frame of the golden,
converted to 8 bits here, above the texts, and enough text pixels in the golden's current colour;
at the end its console must show SESSION.console. CLIPDRAW_RECORD=1 rewrites the consoles, and
each session it rewrites fails as recorded."""
import array
import ctypes
import difflib
import itertools
import os
import pathlib
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import zlib


def die_with_parent():
    """Every process started by a test dies with it, however the test ends."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)


def run(*args):
    return subprocess.run(args, capture_output=True, timeout=10, check=True).stdout


def f32(x):
    return array.array("f", [x])[0]


def byte(c):
    """A float channel in 8 bits: clamped, times 255 rounded to a float (the exact product,
    rounded once), then to the nearest whole number, halves to even."""
    return round(f32(min(c, 1.0) * 255)) if c > 0 else 0


def png_rgb(data):
    """Width, height and rows (top first) of RGB triples of an 8-bit RGB or RGBA PNG, not
    interlaced; alpha is dropped."""
    chunks, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at : at + 8])
        body = data[at + 8 : at + 8 + length]
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "not 8-bit RGB or RGBA"
            n = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            chunks += body
        at += 12 + length
    raw, stride, rows, prev = zlib.decompress(chunks), n * w, [], bytearray(n * w)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1 : (y + 1) * (stride + 1)])
        if kind == 2:  # up, the common one, at once
            line = bytearray((u + v) & 255 for u, v in zip(line, prev))
        elif kind != 0:
            for i in range(stride):
                a, b, c = line[i - n] if i >= n else 0, prev[i], prev[i - n] if i >= n else 0
                if kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    a = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[i] = (line[i] + (a if kind in (1, 4) else (a + b) // 2)) & 255
        rows.append([tuple(line[i : i + 3]) for i in range(0, stride, n)])
        prev = line
    return w, h, rows


def text_top(h):
    """The texts lie in the rows from here down."""
    return h - int(0.15 * h) - 14


def rendered(renderer, files, scene, size, tmp, clip=None):
    """Width, height and RGB bytes, rows top first, of scene drawn with the data files files
    (config and clip polygon in one, or the clip polygon clip) at size, a "WxH" or None for the
    configuration's."""
    sized = ["--size", size] if size else []
    run(renderer, "--config", files, "--clip", clip or files, "--scene", scene, *sized,
        "--out", tmp / "f.png", "--float", tmp / "f.float")
    header, data = (tmp / "f.float").read_bytes().split(b"\n", 1)
    w, h = map(int, header.split()[1:])
    # Rows bottom first become top first, alpha goes, and each distinct value is converted once.
    values = []
    for row in range(h - 1, -1, -1):
        values += array.array("f", data[16 * w * row : 16 * w * (row + 1)]).tolist()
    del values[3::4]
    bytes_of = {value: byte(value) for value in set(values)}
    return w, h, bytes(map(bytes_of.get, values, itertools.repeat(0)))  # a NaN, never found, is 0


def check(front, golden, expected, near):
    """Waits until front shows expected and the texts in golden's current colour."""
    lines = golden.read_text().splitlines()
    line = next(line for line in lines if line.startswith("current"))
    text = tuple(byte(f32(float(c))) for c in line.split()[2:5])
    deadline = time.monotonic() + 10
    while why := fault(front.shown(), expected, text, near):
        assert time.monotonic() < deadline, f"{golden.name}: {why}"


def fault(shown, expected, text, near):
    """What is wrong with the picture shown against expected and the text colour text, or ""."""
    w, h, got = shown
    want = expected[2]
    top = 3 * w * text_top(h)
    if (w, h) != expected[:2]:
        return f"the picture is {w} x {h}"

    def pixel(rgb, i):
        return tuple(rgb[i : i + 3])

    wrong = [i // 3 for i in range(0, top, 3) if not near(pixel(got, i), pixel(want, i))]
    texts = sum(
        near(pixel(got, i), text) > near(pixel(want, i), text) for i in range(top, len(got), 3)
    )
    if not wrong and texts >= 100:
        return ""
    first = [(i % w, i // w) for i in wrong[:1]]
    return f"{len(wrong)} pixels wrong {first}, {texts} of text"


def exactly(a, b):
    return a == b


def replay_sessions(folder, renderer, front, near=exactly):
    """Replays every session of folder that says "window" and that front takes; returns the
    failures. Each session is copied to config.txt and clippoly.txt in a fresh folder, unless it
    says "files none". front has start(session, events, folder) -> False to skip it, click(x, y,
    right), type(text), resize(w, h), shown() -> (w, h, RGB rows top first), finish(session,
    size, folder) -> its console, and stop()."""
    sessions = sorted(s for s in folder.glob("*.session") if "window" in s.read_text().splitlines())
    failures = [] if sessions else [f"no session in {folder} says window"]
    for session in sessions:
        lines = session.read_text().splitlines()
        events = [line.split() for line in lines if line[:1].islower()]
        with tempfile.TemporaryDirectory() as tmp:
            tmp = pathlib.Path(tmp)
            size = None  # until a resize, the configuration's size
            files = [] if ["files", "none"] in events else ["config.txt", "clippoly.txt"]
            for name in files:
                shutil.copy(session, tmp / name)
            try:
                if not front.start(session, events, tmp):
                    continue
                for event, *args in events:
                    if event in ("click", "rightclick"):
                        front.click(int(args[0]), int(args[1]), event == "rightclick")
                    elif event == "key":
                        front.type("".join(" " if key == "space" else key for key in args))
                    elif event == "resize":
                        front.resize(*args)
                        size = "x".join(args)
                    elif event == "check":
                        golden = folder / f"{session.stem}.{args[0]}.scene"
                        expected = rendered(renderer, tmp / "config.txt", golden, size, tmp)
                        check(front, golden, expected, near)
                golden = folder / f"{session.stem}.console"
                console = front.finish(session, size, tmp)
                if os.environ.get("CLIPDRAW_RECORD") == "1":
                    # Compared with nothing: a recorded session must not count as a pass.
                    golden.write_text(console)
                    raise AssertionError(f"recorded {golden.name}; run again to check it")
                want = golden.read_text().splitlines(1)
                diff = difflib.unified_diff(want, console.splitlines(1), golden.name)
                assert console.splitlines(1) == want, "".join(diff)
            except Exception as e:  # a fault fails its own session only
                failures.append(f"{session.stem}: {type(e).__name__}: {e}")
            finally:
                front.stop()
    return failures
