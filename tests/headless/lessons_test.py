"""The lessons in examples/lessons, drawn by clipdraw-render: each frame writes exactly the rows its
file states ("row R: columns A-B"), worked out by hand from the fill's rules, and white elsewhere (but
under a clip line, drawn in pure red, which may cover them). Then each as a handout, --scale 8 --grid:
the image is the frame's size times 8 plus a grid line between neighbouring blocks, every block is
its pixel of --float (converted here), and every grid line is grey."""
import pathlib, re, sys, tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from replay import png_rgb, rendered, run

renderer, lessons = map(pathlib.Path, sys.argv[1:3])
WHITE, RED, GREY, K = (255, 255, 255), (255, 0, 0), (128, 128, 128), 8


def stated(path):
    rows = {}
    for row, first, last in re.findall(r"^row (\d+): columns? (\d+)(?:-(\d+))?$", path.read_text(), re.M):
        rows[int(row)] = set(range(int(first), int(last or first) + 1))
    return rows


failures = []
files = sorted(lessons.glob("*.txt"))
with tempfile.TemporaryDirectory() as tmp:
    tmp = pathlib.Path(tmp)
    for lesson in files:
        spans = stated(lesson)
        w, h, rgb = rendered(renderer, lesson, lesson, None, tmp)
        pixel = lambda col, row: tuple(rgb[3 * ((h - 1 - row) * w + col) : 3 * ((h - 1 - row) * w + col) + 3])
        for row in range(h):
            for col in range(w):
                shown, wanted = pixel(col, row), col in spans.get(row, ())
                if shown != RED and (shown == WHITE) == wanted:
                    failures.append(f"{lesson.name}: row {row} column {col} is {shown}, "
                                    f"{'in' if wanted else 'outside'} the stated rows")
        if not spans:
            failures.append(f"{lesson.name} states no row")
        run(renderer, "--config", lesson, "--clip", lesson, "--scene", lesson, "--scale", str(K), "--grid",
            "--out", tmp / "handout.png")
        hw, hh, picture = png_rgb((tmp / "handout.png").read_bytes())
        if (hw, hh) != (w * K + w - 1, h * K + h - 1):
            failures.append(f"{lesson.name}: a {hw} x {hh} handout of a {w} x {h} frame")
            continue
        unlike = [(x, y) for y in range(hh) for x in range(hw)
                  if picture[y][x] != (GREY if x % (K + 1) == K or y % (K + 1) == K
                                       else pixel(x // (K + 1), h - 1 - y // (K + 1)))]
        failures += [f"{lesson.name}: handout pixels unlike their blocks or the grid: {unlike[:4]}"] if unlike else []
if len(files) < 5:
    failures.append(f"{len(files)} lessons in {lessons}")
sys.exit("\n".join(failures) or None)
