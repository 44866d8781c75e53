// The step view: one committed shape through the frame pass, a step at a time. First the clip,
// one stage per clip line, then the fill, one raster row per step. Every number and every pixel
// comes from the core (page_steps); this file only lays them out, magnified, and draws the marks
// around them.

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

// Every digit of the float: its exact value in decimal, which a float always has.
export function exactText(number) {
  const value = Math.fround(number);
  if (!Number.isFinite(value) || value === 0) {
    return floatText(value);
  }
  const [digits, exponent] = value.toPrecision(100).split("e");
  const trimmed = digits.includes(".") ? digits.replace(/0+$/, "").replace(/\.$/, "") : digits;
  return exponent === undefined ? trimmed : `${trimmed}e${exponent}`;
}

const PRECISION = {
  short: floatText,
  3: (v) => (Number.isFinite(v) ? Math.fround(v).toFixed(3) : String(v)),
  all: exactText,
};

// What a vertex that a clip line's walk gave is, by the core's case number.
const madeBy = (v) =>
  v[10] < 0
    ? "kept: the line keeps every vertex"
    : [
        "both inside: the second end",
        "leaving: the cut point",
        v[8] ? "entering: the cut point" : "entering: the second end",
      ][v[11]];

const MARGIN = 44; // CSS pixels left of the picture for the row numbers
const ROOM = 280; // and right of it, where the walkers' labels may run on

const LEGEND = [
  ["#fff2b3", "the current row, in the margin and as a band behind its unwritten pixels"],
  ["#d00", "under the row: the columns it writes, trunc(start x) up to trunc(end x) - 1"],
  ["#06c", "the start walker, at its exact x on the row"],
  ["#a0a", "the end walker; the column under it is not written"],
  ["#b05000", "the triangle being filled"],
  ["#2a8a3a", "the clip line, arrows along its direction; the tinted side is kept"],
  ["#1e3c78", "the polygon: dots are kept vertices, squares cut points, numbered as in the table"],
  ["rgba(0, 0, 0, 0.3)", "from 8 x: the pixel grid, with a dot at each pixel's centre"],
];

// Row numbers far enough apart to read: every row from 14 CSS pixels a row, else every 2, 5,
// 10, 20, 50, ... rows.
function rowLabelStep(zoom) {
  for (let step = 1; ; step *= 10) {
    for (const k of [1, 2, 5]) {
      if (k * step * zoom >= 14) {
        return k * step;
      }
    }
  }
}

export function createStepView(core, frame, note, rasterPoint) {
  const $ = (id) => document.getElementById(id);
  const panel = $("steps");
  const stack = $("steps-stack");
  const sizer = $("steps-sizer");
  const picture = $("steps-picture");
  const band = $("steps-band");
  const gridView = $("steps-grid");
  const marks = $("steps-marks");
  const rowLabels = $("steps-rows");
  const slider = $("steps-slider");
  const caption = $("steps-caption");
  const table = $("steps-table");
  const edgesText = $("steps-edges");
  const playButton = $("steps-play");
  const zoomChoice = $("steps-zoom");
  const speedChoice = $("steps-speed");
  const skipEmpty = $("steps-skip");
  const precisionChoice = $("steps-precision");
  const pictureContext = picture.getContext("2d");

  let wanted = -1; // the shape asked for: -1 the last committed
  let selecting = false;
  let data = null; // the core's steps of the shape, with its pixels copied out
  let step = 0;
  let timer = null;
  let pixels = null; // the picture's bytes, rows 0 to painted - 1 painted in
  let painted = 0;
  let zoom = 1; // CSS pixels a raster pixel
  let labelled = ""; // the size and zoom the row numbers were made for
  let svg = []; // the marks of the step being drawn
  let room = ROOM; // right of the picture: none when it fits the view

  const clipSteps = () => data.stages.length;
  const stepCount = () => (data === null ? 0 : clipSteps() + Math.max(data.rows.length, 1));
  const num = (v) => PRECISION[precisionChoice.value](v);

  $("steps-legend").replaceChildren(
    ...LEGEND.map(([colour, words]) => {
      const item = document.createElement("li");
      const swatch = document.createElement("i");
      swatch.style.background = colour;
      item.append(swatch, words);
      return item;
    }),
  );

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
    picture.width = w;
    picture.height = h;
    pixels = new Uint8ClampedArray(4 * w * h);
    painted = 0;
    slider.max = Math.max(stepCount() - 1, 0);
    $("steps-stages").replaceChildren(
      ...(data === null ? [] : stageStarts()).map((k) => {
        const option = document.createElement("option");
        option.value = k;
        return option;
      }),
    );
    layout();
    show(Math.min(step, Math.max(stepCount() - 1, 0)));
  }

  // The zoom asked for, or for "fit" the largest that shows the whole picture (whole screen
  // pixels a pixel when it is 1 or more, so that every pixel is a block of the same size).
  function zoomOf(w, h) {
    if (zoomChoice.value !== "fit") {
      return Number(zoomChoice.value);
    }
    // The room left in the view below the controls, unless that is too little to see by.
    const left = panel.getBoundingClientRect().bottom - stack.getBoundingClientRect().top - 14;
    const across = (panel.clientWidth - 24 - MARGIN) / w;
    const down = (left >= 160 ? left : 0.72 * window.innerHeight - 8) / h;
    const fit = Math.max(Math.min(across, down), 0.05);
    return fit >= 1 ? Math.floor(fit) : fit;
  }

  function layout() {
    const w = picture.width;
    const h = picture.height;
    zoom = zoomOf(w, h);
    room = zoomChoice.value === "fit" ? 0 : ROOM;
    const [width, height] = [w * zoom, h * zoom];
    sizer.style.width = `${MARGIN + width + room}px`;
    sizer.style.height = `${height}px`;
    band.style.width = `${MARGIN + width}px`;
    for (const element of [picture, gridView, marks]) {
      element.style.left = `${MARGIN}px`;
      element.style.width = `${width}px`;
      element.style.height = `${height}px`;
    }
    marks.style.width = `${width + room}px`;
    marks.setAttribute("width", width + room);
    marks.setAttribute("height", height);
    // From 8 x: a line on each pixel's left and top edge, and a dot at its centre.
    gridView.style.backgroundImage =
      zoom >= 8
        ? "linear-gradient(to right, rgba(0, 0, 0, 0.25) 1px, transparent 1px)," +
          "linear-gradient(to bottom, rgba(0, 0, 0, 0.25) 1px, transparent 1px)," +
          "radial-gradient(circle, rgba(0, 0, 0, 0.45) 1.5px, transparent 2px)"
        : "none";
    gridView.style.backgroundSize = `${zoom}px ${zoom}px`;
    rowLabels.style.width = `${MARGIN}px`;
    rowLabels.style.height = `${height}px`;
    if (labelled !== `${h} ${zoom}`) {
      labelled = `${h} ${zoom}`;
      const every = rowLabelStep(zoom);
      const labels = [];
      for (let row = 0; row < h; row += every) {
        const label = document.createElement("span");
        label.textContent = row;
        label.style.top = `${labelTop((h - row - 0.5) * zoom)}px`;
        labels.push(label);
      }
      const current = document.createElement("span");
      current.className = "current";
      current.hidden = true;
      rowLabels.replaceChildren(...labels, current);
    }
  }

  // A row number's middle, kept far enough inside the picture's height that the number shows.
  const labelTop = (y) => Math.min(Math.max(y, 6), picture.height * zoom - 6);

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

  // Raster units to the marks' CSS pixels: column x starts at x, row y (0 the bottom) ends at
  // h - y.
  const X = (x) => x * zoom;
  const Y = (y) => (picture.height - y) * zoom;

  const mark = (tag, attributes, text = "") =>
    svg.push(
      `<${tag} ${Object.entries(attributes)
        .map(([k, v]) => `${k}="${v}"`)
        .join(" ")}>${text}</${tag}>`,
    );

  function outline(points, stroke, width, fill = "none") {
    if (points.length === 0) {
      return;
    }
    const at = points.map((p) => `${X(p[2])},${Y(p[3])}`).join(" ");
    mark(points.length > 2 ? "polygon" : "polyline", {
      points: points.length === 1 ? `${at} ${at}` : at,
      fill,
      stroke,
      "stroke-width": width,
      "stroke-linejoin": "round",
      "stroke-linecap": "round",
    });
  }

  // Kept vertices as dots, cut points as hollow squares, each numbered as the table numbers it.
  function corners(points) {
    points.forEach((p, i) => {
      const [x, y] = [X(p[2]), Y(p[3])];
      if (p[8]) {
        mark("rect", { x: x - 4.5, y: y - 4.5, width: 9, height: 9, fill: "none", stroke: "#d00", "stroke-width": 2 });
      } else {
        mark("circle", { cx: x, cy: y, r: 3.5, fill: "#1e3c78" });
      }
      mark("text", { x: x + 7, y: y - 7, fill: p[8] ? "#b00" : "#1e3c78" }, i);
    });
  }

  // The part of the line through (x0, y0) along (ux, uy) that lies in the picture, as [from, to]
  // along it, or null.
  function visiblePart(x0, y0, ux, uy) {
    let [from, to] = [-Infinity, Infinity];
    for (const [p, u, size] of [
      [x0, ux, X(picture.width)],
      [y0, uy, picture.height * zoom],
    ]) {
      if (u === 0) {
        if (p < 0 || p > size) {
          return null;
        }
      } else {
        const [a, b] = [(0 - p) / u, (size - p) / u];
        from = Math.max(from, Math.min(a, b));
        to = Math.min(to, Math.max(a, b));
      }
    }
    return from < to ? [from, to] : null;
  }

  // The clip line across the picture, its kept (left) side tinted, arrows along it for its
  // direction and its number at the start of what shows.
  function clipLine(a, b, line) {
    const [ax, ay, bx, by] = [X(a[2]), Y(a[3]), X(b[2]), Y(b[3])];
    const length = Math.hypot(bx - ax, by - ay);
    if (!(length > 0)) {
      return;
    }
    const [ux, uy] = [(bx - ax) / length, (by - ay) / length];
    const [nx, ny] = [uy, -ux]; // its left on the screen, where y grows downwards
    const far = 4 * (X(picture.width) + Y(0));
    const kept = [
      [ax - far * ux, ay - far * uy],
      [ax + far * ux, ay + far * uy],
      [ax + far * (ux + nx), ay + far * (uy + ny)],
      [ax + far * (nx - ux), ay + far * (ny - uy)],
    ];
    mark("polygon", { points: kept.map((p) => p.join(",")).join(" "), fill: "rgba(40, 160, 60, 0.13)" });
    const part = visiblePart(ax, ay, ux, uy);
    if (part === null) {
      return;
    }
    const [from, to] = part;
    const at = (t) => [ax + t * ux, ay + t * uy];
    mark("line", {
      x1: at(from)[0],
      y1: at(from)[1],
      x2: at(to)[0],
      y2: at(to)[1],
      stroke: "#2a8a3a",
      "stroke-width": 2,
    });
    const count = Math.max(1, Math.floor((to - from) / 90));
    for (let i = 0; i < count; ++i) {
      const [x, y] = at(from + ((i + 0.5) * (to - from)) / count);
      const tip = [x + 7 * ux, y + 7 * uy];
      const left = [x - 5 * ux + 5 * nx, y - 5 * uy + 5 * ny];
      const right = [x - 5 * ux - 5 * nx, y - 5 * uy - 5 * ny];
      mark("polygon", { points: [tip, left, right].map((p) => p.join(",")).join(" "), fill: "#2a8a3a" });
    }
    const [lx, ly] = at(from + Math.min(24, (to - from) / 2));
    mark("text", { x: lx + 12 * nx, y: ly + 12 * ny, fill: "#2a8a3a", "text-anchor": "middle" }, `line ${line}`);
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
      cell.textContent = typeof value === "number" ? num(value) : value;
      row.appendChild(cell);
    }
    return row;
  }

  function fillTable(head, rows) {
    table.classList.toggle("clip", head[1] === "from edge"); // whose words read from the left
    table.replaceChildren(cells("th", head));
    for (const [values, className] of rows) {
      const row = cells("td", values);
      row.className = className || "";
      table.appendChild(row);
    }
  }

  const vertexColumns = ["", "x", "y", "pixel x", "pixel y", "r", "g", "b", "a"];
  const vertexCells = (name, v) => [name, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]];
  const colourText = (r, g, b, a) => `RGBA(${[r, g, b, a].map(num).join(", ")})`;

  const plural = (n, word) => `${n} ${word}${n === 1 ? "" : "s"}`;
  const verdictText = {
    "keeps all": () => " keeps every vertex: the shape goes on unchanged.",
    cuts: (stage) =>
      ` cuts the shape: ${plural(stage.polygon.filter((v) => v[8]).length, "cut point")},` +
      ` ${stage.polygon.length} vertices.`,
    "drops all": () => " keeps no vertex: nothing of the shape is left.",
    "nothing left": () => ": nothing is left to clip.",
  };

  // Edge k of a polygon of n vertices runs from vertex k - 1 to vertex k, edge 0 from the last;
  // a segment's one edge runs from its first end to its second.
  const edgeName = (k, n) => (k < 0 ? "" : n === 2 ? "0 \u2192 1" : `${(k - 1 + n) % n} \u2192 ${k}`);

  function showClip(k) {
    const stage = data.stages[k];
    const lines = clipSteps() - 1;
    const finalStage = data.stages[clipSteps() - 1];
    const before = k > 0 ? data.stages[k - 1].polygon : [];
    paintRows(0);
    for (const s of data.stages.slice(1)) {
      outline(s.ends, "rgba(0, 0, 0, 0.18)", 1);
    }
    if (k > 0) {
      clipLine(stage.ends[0], stage.ends[1], stage.line);
      outline(before, "rgba(30, 60, 120, 0.35)", 1, "rgba(30, 60, 120, 0.06)");
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
    // Which edge of the polygon before gave each vertex, and by which case, from the core's
    // record of the cut; the cut points' s first, where a narrow view still shows it.
    fillTable(
      ["", "from edge", "case", "cut at s", ...vertexColumns.slice(1)],
      stage.polygon.map((v, i) => {
        const [name, ...fields] = vertexCells(String(i), v);
        return [
          [name, edgeName(v[10], before.length), k === 0 ? "" : madeBy(v), v[8] ? v[9] : "", ...fields],
          v[8] ? "cut" : "",
        ];
      }),
    );
    const silent = stage.edges
      .map((e, edge) => [e, edge])
      .filter(([e]) => e[1] === 0)
      .map(
        ([e, edge]) =>
          `${edgeName(edge, before.length)}: ${e[0] === 1 ? "leaving from a vertex on the line, which the edge before gave" : "both ends outside: nothing"}`,
      );
    edgesText.textContent =
      k === 0
        ? ""
        : "s is where a cut point lies on its edge: 0 at the edge's first end, 1 at its second " +
          "(s = dP / (dP - dQ), from the ends' signed distances to the line). Edge k runs from vertex k - 1 " +
          "to vertex k of the stage before, edge 0 from its last vertex to its first." +
          (silent.length > 0 ? ` Edges that gave nothing: ${silent.join("; ")}.` : "");
  }

  function showFill(i) {
    const polygon = data.stages[clipSteps() - 1].polygon;
    for (const t of data.triangles) {
      outline(t.corners, "rgba(0, 0, 0, 0.25)", 1);
    }
    outline(polygon, "rgba(30, 60, 120, 0.5)", 1);
    edgesText.textContent = "";
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
    const [top, bottom] = [Y(r[1] + 1), Y(r[1])];
    band.hidden = false;
    band.style.top = `${top}px`;
    band.style.height = `${Math.max(zoom, 1)}px`;
    const current = rowLabels.lastChild;
    current.hidden = false;
    current.textContent = `\u25b8${r[1]}`;
    current.style.top = `${labelTop((top + bottom) / 2)}px`;
    if (r[12] < r[13]) {
      mark("rect", {
        id: "steps-span",
        x: X(r[12]),
        y: bottom + 1,
        width: X(r[13]) - X(r[12]),
        height: Math.max(3, zoom / 6),
        fill: "#d00",
      });
    }
    const reach = Math.max(0.6 * zoom, 10);
    follow(top, bottom, [X(Math.max(Math.min(r[2], r[7]), 0)), X(Math.min(Math.max(r[2], r[7]), picture.width))]);
    // The labels above the row, the end walker's nearer it, or below it at the top.
    const above = top - reach > 34;
    for (const [x, colour, id, words, line] of [
      [r[2], "#06c", "steps-start-label", `start x = ${num(r[2])}, ${colourText(r[3], r[4], r[5], r[6])}`, 2],
      [r[7], "#a0a", "steps-end-label", `end x = ${num(r[7])}, ${colourText(r[8], r[9], r[10], r[11])}`, 1],
    ]) {
      const [from, to] = above ? [top - reach - 16 * line + 12, bottom] : [top, bottom + reach + 16 * line - 12];
      mark("line", { x1: X(x), y1: from, x2: X(x), y2: to, stroke: colour, "stroke-width": 2 });
      const y = above ? from - 3 : to + 12;
      // Within what the view shows, at about 7.5 pixels a character.
      const shows = Math.min(X(picture.width) + room, stack.scrollLeft + stack.clientWidth - MARGIN);
      const x0 = Math.min(X(x) + 4, shows - 7.5 * words.length);
      mark("text", { id, x: Math.max(x0, 4), y, fill: colour }, words);
    }
    const inTriangle = i - t.firstRow + 1;
    const span = r[13] - r[12];
    caption.textContent =
      `Triangle ${r[0] + 1} of ${data.triangles.length}, row ${r[1]}` +
      ` (${inTriangle} of its ${t.rowCount} rows in the frame): ` +
      (span > 0
        ? `columns ${r[12]} to ${r[13] - 1}, ${plural(span, "pixel")}; column ${r[13]}, under the end walker, is not written.`
        : "no pixel.");
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

  // The view scrolls to keep the current row, and the walkers' stretch of it, in sight.
  function follow(top, bottom, [left, right]) {
    if (top < stack.scrollTop || bottom > stack.scrollTop + stack.clientHeight) {
      stack.scrollTop = (top + bottom - stack.clientHeight) / 2;
    }
    const [from, to] = [MARGIN + left, MARGIN + right];
    if (from < stack.scrollLeft + MARGIN || to > stack.scrollLeft + stack.clientWidth) {
      stack.scrollLeft = (from + to - stack.clientWidth) / 2;
    }
  }

  function show(k) {
    step = k;
    slider.value = k;
    svg = [];
    band.hidden = true;
    if (rowLabels.lastChild !== null) {
      rowLabels.lastChild.hidden = true;
    }
    $("steps-count").textContent = data === null ? "" : `step ${k + 1} of ${stepCount()}`;
    if (data === null) {
      pictureContext.clearRect(0, 0, picture.width, picture.height);
      caption.textContent =
        "No shape to step through: commit one (click its vertices, then space) or pick one with Select shape.";
      table.replaceChildren();
      edgesText.textContent = "";
    } else if (k < clipSteps()) {
      showClip(k);
    } else {
      showFill(k - clipSteps());
    }
    // The marks on the pixels stay within the picture; the labels may run on to its right.
    const [width, height] = [X(picture.width), Y(0)];
    marks.innerHTML =
      `<clipPath id="steps-clip"><rect width="${width}" height="${height}"/></clipPath>` +
      `<g clip-path="url(#steps-clip)">${svg.filter((m) => !m.startsWith("<text")).join("")}</g>` +
      svg.filter((m) => m.startsWith("<text")).join("");
    panel.dataset.step = k;
  }

  const go = (k) => data !== null && show(Math.max(0, Math.min(stepCount() - 1, k)));

  // Where each stage starts: every clip line's step, then each triangle's first row.
  function stageStarts() {
    const starts = data.stages.map((_, k) => k);
    for (const t of data.triangles) {
      if (t.rowCount > 0) {
        starts.push(clipSteps() + t.firstRow);
      }
    }
    return starts;
  }
  const nextStage = () => data !== null && go(stageStarts().find((k) => k > step) ?? stepCount() - 1);
  const previousStage = () => data !== null && go(stageStarts().findLast((k) => k < step) ?? 0);

  // A row that writes nothing, which stepping passes over when asked.
  const empty = (k) => {
    const r = k >= clipSteps() ? data.rows[k - clipSteps()] : undefined;
    return r !== undefined && r[12] >= r[13];
  };
  // One step on or back; false when there is none.
  function move(by) {
    if (data === null) {
      return false;
    }
    let k = step + by;
    while (skipEmpty.checked && k >= 0 && k < stepCount() && empty(k)) {
      k += by;
    }
    if (k < 0 || k >= stepCount()) {
      return false;
    }
    show(k);
    return true;
  }

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
    timer = setInterval(() => move(1) || pause(), Number(speedChoice.value));
  }

  // The view's own keys, none of them a character the drawing reads.
  const keys = {
    ArrowRight: () => move(1),
    ArrowLeft: () => move(-1),
    PageDown: nextStage,
    PageUp: previousStage,
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
    const index = core._page_shape_at(...rasterPoint(event), frame.width, frame.height);
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
  button("steps-stage-back", previousStage);
  button("steps-back", () => move(-1));
  button("steps-play", play);
  button("steps-next", () => move(1));
  button("steps-stage-next", nextStage);
  button("steps-last", () => go(stepCount() - 1));
  button("steps-close", close);
  slider.addEventListener("input", () => go(Number(slider.value)));
  zoomChoice.addEventListener("change", () => {
    layout();
    go(step);
  });
  precisionChoice.addEventListener("change", () => go(step));
  speedChoice.addEventListener("change", () => {
    if (timer !== null) {
      pause();
      play();
    }
  });
  // The view's keys also work from inside it; the slider keeps its own, and a button its Enter.
  panel.addEventListener("keydown", (event) => {
    const native =
      event.target === slider ||
      event.target instanceof HTMLSelectElement ||
      (event.target instanceof HTMLButtonElement && event.key === "Enter");
    if (!native) {
      key(event);
    }
  });
  // In "fit" the zoom follows the view's size.
  new ResizeObserver(() => {
    if (!panel.hidden && zoomChoice.value === "fit") {
      layout();
      go(step);
    }
  }).observe(panel);
  // What the page's timing redraws: the current step, at the current zoom.
  const redraw = () => go(step);

  return { refresh, key, takesClick, open, go, redraw };
}
