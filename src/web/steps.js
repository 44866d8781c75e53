// The step view: one committed shape through the frame pass, a step at a time. First the clip,
// one stage per clip line, then the fill, one raster row per step. Every number and every pixel
// comes from the core (page_steps); this file only lays them out and draws the marks around them.

// A 32-bit float (which JSON brought as the nearest double of its 9 digits) as the shortest text
// that reads back as the same float.
export function floatText(number) {
  const value = Math.fround(number);
  if (!Number.isFinite(value)) {
    return String(value);
  }
  if (Object.is(value, -0)) {
    return "-0";
  }
  for (let digits = 1; digits < 9; ++digits) {
    const text = Number(value.toPrecision(digits));
    if (Math.fround(text) === value) {
      return String(text);
    }
  }
  return String(Number(value.toPrecision(9)));
}

export function createStepView(core, frame, note) {
  const $ = (id) => document.getElementById(id);
  const panel = $("steps");
  const picture = $("steps-picture");
  const marks = $("steps-marks");
  const slider = $("steps-slider");
  const caption = $("steps-caption");
  const table = $("steps-table");
  const playButton = $("steps-play");
  const pictureContext = picture.getContext("2d");
  const marksContext = marks.getContext("2d");

  let wanted = -1; // the shape asked for: -1 the last committed
  let selecting = false;
  let data = null; // the core's steps of the shape, with its pixels copied out
  let step = 0;
  let timer = null;
  let pixels = null; // the picture's bytes, rows 0 to painted - 1 painted in
  let painted = 0;

  const clipSteps = () => data.stages.length;
  const stepCount = () => (data === null ? 0 : clipSteps() + Math.max(data.rows.length, 1));

  // Numbers the core could not put in JSON come as strings.
  const revive = (_name, value) =>
    value === "NaN" || value === "Infinity" || value === "-Infinity" ? Number(value) : value;

  // The steps afresh from the core, for the shape asked for at the frame's size; the step
  // stays where it was as far as the new steps reach.
  function refresh() {
    if (panel.hidden) {
      return;
    }
    const w = frame.width;
    const h = frame.height;
    const json = core._page_steps(wanted, w, h);
    const before = data;
    data = json === 0 ? null : JSON.parse(core.UTF8ToString(json), revive);
    if (data === null || before === null || data.shape !== before.shape) {
      step = 0; // another shape: from its start
    }
    if (data !== null) {
      const rows = core._page_steps_row_bytes();
      data.rowBytes = core.HEAPU8.slice(rows, rows + data.rowBytes);
      const shape = core._page_steps_picture();
      data.picture = new Uint8ClampedArray(core.HEAPU8.slice(shape, shape + 4 * w * h));
    }
    for (const canvas of [picture, marks]) {
      canvas.width = w;
      canvas.height = h;
    }
    pixels = new Uint8ClampedArray(4 * w * h);
    painted = 0;
    slider.max = Math.max(stepCount() - 1, 0);
    show(Math.min(step, Math.max(stepCount() - 1, 0)));
  }

  // Opening the view takes the focus into it, where its keys are read.
  function open(index) {
    wanted = index;
    panel.hidden = false;
    step = 0;
    refresh();
    panel.focus();
  }

  function close() {
    pause();
    panel.hidden = true;
    data = null;
  }

  // Raster units to the canvas: column x starts at x, row y (0 the bottom) ends at h - y.
  const toCanvas = (px, py) => [px, marks.height - py];

  function path(points, closed) {
    marksContext.beginPath();
    points.forEach((p, i) => {
      const [x, y] = toCanvas(p[2], p[3]);
      if (i === 0) {
        marksContext.moveTo(x, y);
      } else {
        marksContext.lineTo(x, y);
      }
    });
    if (closed) {
      marksContext.closePath();
    }
  }

  function outline(points, style, width, fill) {
    if (points.length === 0) {
      return;
    }
    path(points, points.length > 2);
    if (fill) {
      marksContext.fillStyle = fill;
      marksContext.fill();
    }
    marksContext.strokeStyle = style;
    marksContext.lineWidth = width;
    marksContext.stroke();
  }

  // Kept vertices as dots, cut points as hollow squares.
  function corners(points) {
    for (const p of points) {
      const [x, y] = toCanvas(p[2], p[3]);
      marksContext.beginPath();
      if (p[8]) {
        marksContext.rect(x - 4.5, y - 4.5, 9, 9);
        marksContext.strokeStyle = "#d00";
        marksContext.lineWidth = 2;
        marksContext.stroke();
      } else {
        marksContext.arc(x, y, 3.5, 0, 2 * Math.PI);
        marksContext.fillStyle = "#123";
        marksContext.fill();
      }
    }
  }

  // The clip line across the whole view, its kept (left) side tinted, an arrow at its end.
  function clipLine(a, b) {
    const [ax, ay] = toCanvas(a[2], a[3]);
    const [bx, by] = toCanvas(b[2], b[3]);
    const length = Math.hypot(bx - ax, by - ay);
    if (!(length > 0)) {
      return;
    }
    const far = 4 * (marks.width + marks.height);
    const dx = ((bx - ax) / length) * far;
    const dy = ((by - ay) / length) * far;
    // Left of the direction on the screen, where y grows downwards: (dy, -dx).
    marksContext.beginPath();
    marksContext.moveTo(ax - dx, ay - dy);
    marksContext.lineTo(ax + dx, ay + dy);
    marksContext.lineTo(ax + dx + dy, ay + dy - dx);
    marksContext.lineTo(ax - dx + dy, ay - dy - dx);
    marksContext.fillStyle = "rgba(40, 160, 60, 0.13)";
    marksContext.fill();
    marksContext.beginPath();
    marksContext.moveTo(ax - dx, ay - dy);
    marksContext.lineTo(ax + dx, ay + dy);
    marksContext.strokeStyle = "#2a8a3a";
    marksContext.lineWidth = 1.5;
    marksContext.stroke();
    const ux = (bx - ax) / length;
    const uy = (by - ay) / length;
    marksContext.beginPath();
    marksContext.moveTo(bx, by);
    marksContext.lineTo(bx - 10 * ux + 5 * uy, by - 10 * uy - 5 * ux);
    marksContext.lineTo(bx - 10 * ux - 5 * uy, by - 10 * uy + 5 * ux);
    marksContext.closePath();
    marksContext.fillStyle = "#2a8a3a";
    marksContext.fill();
  }

  // The picture with fill rows 0 to count - 1 in it, each as the fill wrote it.
  function paintRows(count) {
    if (count < painted) {
      pixels.fill(0);
      painted = 0;
    }
    const w = picture.width;
    const h = picture.height;
    for (; painted < count; ++painted) {
      const r = data.rows[painted];
      const at = 4 * ((h - 1 - r[1]) * w + r[12]);
      pixels.set(data.rowBytes.subarray(r[14], r[14] + 4 * (r[13] - r[12])), at);
    }
    pictureContext.putImageData(new ImageData(pixels, w, h), 0, 0);
  }

  function cells(tag, values) {
    const row = document.createElement("tr");
    for (const value of values) {
      const cell = document.createElement(tag);
      cell.textContent = typeof value === "number" ? floatText(value) : value;
      row.appendChild(cell);
    }
    return row;
  }

  function fillTable(head, rows) {
    table.replaceChildren(cells("th", head));
    for (const [values, className] of rows) {
      const row = cells("td", values);
      row.className = className || "";
      table.appendChild(row);
    }
  }

  const vertexColumns = ["", "x", "y", "pixel x", "pixel y", "r", "g", "b", "a"];
  const vertexCells = (name, v) => [name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]];

  const plural = (n, word) => `${n} ${word}${n === 1 ? "" : "s"}`;
  const verdictText = {
    "keeps all": () => " keeps every vertex: the shape goes on unchanged.",
    cuts: (stage) =>
      ` cuts the shape: ${plural(stage.polygon.filter((v) => v[8]).length, "cut point")},` +
      ` ${stage.polygon.length} vertices.`,
    "drops all": () => " keeps no vertex: nothing of the shape is left.",
    "nothing left": () => ": nothing is left to clip.",
  };

  function showClip(k) {
    const stage = data.stages[k];
    const lines = clipSteps() - 1;
    const finalStage = data.stages[clipSteps() - 1];
    paintRows(0);
    for (const s of data.stages.slice(1)) {
      outline(s.ends, "rgba(0, 0, 0, 0.18)", 1);
    }
    if (k > 0) {
      clipLine(stage.ends[0], stage.ends[1]);
      outline(data.stages[k - 1].polygon, "rgba(30, 60, 120, 0.35)", 1, "rgba(30, 60, 120, 0.06)");
    }
    outline(stage.polygon, "#1e3c78", 2, "rgba(30, 60, 120, 0.15)");
    corners(stage.polygon);
    caption.textContent =
      k === 0
        ? `Shape ${data.shape + 1}, ${stage.polygon.length === 1 ? "1 vertex" : `${stage.polygon.length} vertices`},` +
          ` as committed; ${plural(lines, "clip line")} ${lines === 1 ? "follows" : "follow"}.`
        : `Clip line ${stage.line} (${k} of ${lines})` + verdictText[stage.verdict](stage);
    if (k === clipSteps() - 1 && finalStage.polygon.length > 0) {
      caption.textContent += finalStage.polygon.length < 3 ? " It is drawn next." : " The fill follows, row by row.";
    }
    // The cut points' s first, where a narrow view still shows it.
    fillTable(
      ["", "cut at s", ...vertexColumns.slice(1)],
      stage.polygon.map((v, i) => {
        const [name, ...fields] = vertexCells(String(i), v);
        return [[name, v[8] ? v[9] : "", ...fields], v[8] ? "cut" : ""];
      }),
    );
  }

  function showFill(i) {
    const polygon = data.stages[clipSteps() - 1].polygon;
    for (const t of data.triangles) {
      outline(t.corners, "rgba(0, 0, 0, 0.25)", 1);
    }
    outline(polygon, "rgba(30, 60, 120, 0.5)", 1);
    if (data.rows.length === 0) {
      pictureContext.putImageData(new ImageData(data.picture, picture.width, picture.height), 0, 0);
      painted = Infinity; // the picture is not rows: paint afresh next time
      caption.textContent =
        polygon.length === 0
          ? "Nothing is left to draw."
          : polygon.length < 3
            ? `Drawn as a ${polygon.length === 1 ? "point" : "line"}; only shapes of three or more vertices are filled row by row.`
            : "The fill wrote no row inside the frame.";
      table.replaceChildren();
      return;
    }
    paintRows(i + 1);
    const r = data.rows[i];
    const t = data.triangles[r[0]];
    outline(t.corners, "#b05000", 2);
    const [, y] = toCanvas(0, r[1] + 1);
    const w = picture.width;
    if (r[12] < r[13]) {
      marksContext.strokeStyle = "#d00";
      marksContext.lineWidth = 1;
      marksContext.strokeRect(r[12] - 0.5, y - 0.5, r[13] - r[12] + 1, 2);
    } else {
      marksContext.fillStyle = "rgba(220, 0, 0, 0.25)";
      marksContext.fillRect(0, y, w, 1);
    }
    for (const [x, colour] of [
      [r[2], "#06c"],
      [r[7], "#a0a"],
    ]) {
      marksContext.fillStyle = colour;
      marksContext.fillRect(x - 1, y - 9, 2, 7);
      marksContext.fillRect(x - 1, y + 3, 2, 7);
    }
    const inTriangle = i - t.firstRow + 1;
    const span = r[13] - r[12];
    caption.textContent =
      `Triangle ${r[0] + 1} of ${data.triangles.length}, row ${r[1]}` +
      ` (${inTriangle} of its ${t.rowCount} rows in the frame): ` +
      (span > 0 ? `columns ${r[12]} to ${r[13] - 1}, ${plural(span, "pixel")}.` : "no pixel.");
    fillTable(
      [...vertexColumns],
      [
        ...t.corners.map((v, c) => [vertexCells(`corner ${c + 1}`, v), "corner"]),
        // The walkers stand in raster units: their x is a pixel x.
        [["start walker", "", "", r[2], "", r[3], r[4], r[5], r[6]], "walker"],
        [["end walker", "", "", r[7], "", r[8], r[9], r[10], r[11]], "walker"],
      ],
    );
  }

  function show(k) {
    step = k;
    slider.value = k;
    marksContext.clearRect(0, 0, marks.width, marks.height);
    $("steps-count").textContent = data === null ? "" : `step ${k} of ${stepCount() - 1}`;
    if (data === null) {
      pictureContext.clearRect(0, 0, picture.width, picture.height);
      caption.textContent =
        "No shape to step through: commit one (click its vertices, then space) or pick one with Select shape.";
      table.replaceChildren();
    } else if (k < clipSteps()) {
      showClip(k);
    } else {
      showFill(k - clipSteps());
    }
    panel.dataset.step = k;
  }

  const go = (k) => data !== null && show(Math.max(0, Math.min(stepCount() - 1, k)));

  function pause() {
    clearInterval(timer);
    timer = null;
    playButton.textContent = "Play";
  }

  function play() {
    if (timer !== null || data === null) {
      return pause();
    }
    if (step === stepCount() - 1) {
      go(0);
    }
    playButton.textContent = "Pause";
    timer = setInterval(() => (step < stepCount() - 1 ? go(step + 1) : pause()), 120);
  }

  // The view's own keys, none of them a character the drawing reads.
  const keys = {
    ArrowRight: () => go(step + 1),
    ArrowLeft: () => go(step - 1),
    Home: () => go(0),
    End: () => go(stepCount() - 1),
    Enter: play,
    Escape: close,
  };

  function disarm() {
    selecting = false;
    frame.classList.remove("selecting");
  }

  function key(event) {
    if (selecting && event.key === "Escape") {
      event.preventDefault();
      disarm();
      return true;
    }
    const action = keys[event.key];
    if (panel.hidden || action === undefined || event.ctrlKey || event.metaKey || event.altKey) {
      return false;
    }
    event.preventDefault();
    action();
    return true;
  }

  // A left click while "Select shape" is armed (until Esc) picks the shape under it instead of
  // adding a vertex.
  function takesClick(event) {
    if (!selecting || event.button !== 0) {
      return false;
    }
    disarm();
    const index = core._page_shape_at(Math.floor(event.offsetX), Math.floor(event.offsetY), frame.width, frame.height);
    if (index < 0) {
      note("No shape there to step through.");
    } else {
      open(index);
    }
    return true;
  }

  const button = (id, action) => $(id).addEventListener("click", action);
  button("steps-open", () => open(-1));
  button("steps-select", () => {
    selecting = true;
    frame.classList.add("selecting");
  });
  button("steps-first", () => go(0));
  button("steps-back", () => go(step - 1));
  button("steps-play", play);
  button("steps-next", () => go(step + 1));
  button("steps-last", () => go(stepCount() - 1));
  button("steps-close", close);
  slider.addEventListener("input", () => go(Number(slider.value)));
  // The view's keys also work from inside it; the slider keeps its own, and a button its Enter.
  panel.addEventListener("keydown", (event) => {
    const native = event.target === slider || (event.target instanceof HTMLButtonElement && event.key === "Enter");
    if (!native) {
      key(event);
    }
  });

  return { refresh, key, takesClick, open, go };
}
