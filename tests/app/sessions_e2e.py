"""The sessions that say "window" on the real program in a private Xvfb, driven with xdotool and
seen with xwd: the exact title, and within 1 per channel (Mesa may round the other way) the frames
of replay.py."""
import os
import pathlib
import signal
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from replay import die_with_parent, replay_sessions, run

program, renderer, folder = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
TITLE = b"Oskel, Trevik, by Quorlin - Click!!!\n"


class Window:
    process = None

    def start(self, session, events, tmp):
        self.console = tmp / "console.txt"
        self.process = subprocess.Popen(
            program, cwd=tmp, stdout=open(self.console, "w"), preexec_fn=die_with_parent
        )
        found = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Oskel, Trevik")
        self.id = found.split()[0]
        title = run("xdotool", "getwindowname", self.id)
        assert title == TITLE, title
        run("xdotool", "windowmove", self.id, "0", "0", "windowfocus", "--sync", self.id)
        return True

    def click(self, x, y, right):
        button = "3" if right else "1"
        run("xdotool", "mousemove", "--window", self.id, str(x), str(y), "click", button)

    def type(self, text):
        run("xdotool", "type", text)

    def resize(self, w, h):
        run("xdotool", "windowsize", self.id, w, h)

    def shown(self):
        # xwd dumps big-endian header words, the colour map, then pixels with blue in the lowest
        # byte.
        dump = run("xwd", "-silent", "-id", self.id)

        def word(i):
            return int.from_bytes(dump[4 * i : 4 * i + 4], "big")

        start = word(0) + 12 * word(19)
        w = word(4)
        h = word(5)
        layout = [word(7), word(11), word(12), len(dump)]
        assert layout == [0, 32, 4 * w, start + 4 * w * h], "xwd's layout"
        rgb = bytearray(3 * w * h)
        rgb[0::3] = dump[start + 2 :: 4]
        rgb[1::3] = dump[start + 1 :: 4]
        rgb[2::3] = dump[start::4]
        return w, h, bytes(rgb)

    def finish(self, session, size, tmp):
        self.stop()
        return self.console.read_text()

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait(5)
        self.process = None


def within_one(a, b):
    return max(abs(p - q) for p, q in zip(a, b)) <= 1


read, write = os.pipe()
xvfb = subprocess.Popen(
    ["Xvfb", "-displayfd", str(write), "-noreset"],
    pass_fds=[write],
    stderr=subprocess.DEVNULL,
    preexec_fn=die_with_parent,
)
os.close(write)
try:
    os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    assert os.environ["DISPLAY"] != ":", "Xvfb did not start"
    failures = replay_sessions(folder, renderer, Window(), within_one)
finally:
    xvfb.terminate()
    xvfb.wait(5)
sys.exit("\n".join(failures) or None)
