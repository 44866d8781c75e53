"""What the end-to-end tests share: clipdraw-render's exact frame of a scene, converted to 8 bits here, as
the window and the page must show it, and the golden checkpoints' current colour."""
import array, ctypes, signal, subprocess

# Every process started by a test dies with it, however the test ends.
die_with_parent = lambda: ctypes.CDLL(None).prctl(1, signal.SIGKILL)
f32 = lambda x: array.array("f", [x])[0]
# A float channel in 8 bits: clamped, times 255 rounded to a float (the exact product, rounded once), then
# to the nearest whole number, halves to even.
byte = lambda c: round(f32(min(c, 1.0) * 255)) if c > 0 else 0
run = lambda *args: subprocess.run(args, capture_output=True, timeout=10, check=True).stdout
text_top = lambda h: h - int(0.15 * h) - 14  # the texts lie in the rows from here down


def rendered(renderer, files, scene, size, tmp):
    """Width, height and RGB bytes, rows top first, of scene drawn with the data files files (config and clip
    polygon in one) at size, a "WxH" or None for the configuration's."""
    run(renderer, "--config", files, "--clip", files, "--scene", scene, *(["--size", size] if size else []),
        "--out", tmp / "f.png", "--float", tmp / "f.float")
    header, data = (tmp / "f.float").read_bytes().split(b"\n", 1)
    w, h, floats = *map(int, header.split()[1:]), array.array("f", data)
    rows = ((h - 1 - i // w) * w + i % w for i in range(w * h))
    return w, h, bytes(byte(floats[4 * p + c]) for p in rows for c in range(3))


def colour(golden):
    """The current colour of a golden checkpoint, in 8 bits."""
    line = next(l for l in golden.read_text().splitlines() if l.startswith("current"))
    return tuple(byte(f32(float(c))) for c in line.split()[2:5])
