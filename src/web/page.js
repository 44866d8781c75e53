// The page around the core: the frame canvas that shows the core's frames with the window's five
// texts, its mouse and keys, the data files, the console, and the aids beside the frame or on the
// layer over it. Every pixel of the frame and every number an aid shows comes from the core.
import { drawLayer } from "./layer.js";
import { clipNotes, commitNote, fileKindText, verdictText } from "./notes.js";
import { createStepView, floatText } from "./steps.js";
import { timeFrames } from "./timing.js";

const $ = (id) => document.getElementById(id);
const view = $("view");
const canvas = $("frame");
const layer = $("layer");
const context = canvas.getContext("2d");
const consolePanel = $("console");
const notesPanel = $("notes");
const HISTORY = 100; // steps undo keeps

// The readers' console: their lines exactly, grouped under the load that printed them, errors
// marked. While the page restores a step of its history the readers' lines are not repeated.
let quiet = false;
let group = consolePanel;
function say(line) {
  if (quiet) {
    return;
  }
  const entry = document.createElement("div");
  entry.textContent = line;
  entry.className = line.startsWith("ERROR") ? "line error" : "line";
  group.append(entry);
  consolePanel.scrollTop = consolePanel.scrollHeight;
}
function consoleGroup(title) {
  group = document.createElement("div");
  group.className = "load";
  group.setAttribute("aria-label", title);
  const heading = document.createElement("div");
  heading.textContent = `\u2014 ${title}`;
  group.append(heading);
  consolePanel.append(group);
}

function note(text) {
  const item = document.createElement("li");
  item.textContent = text;
  notesPanel.append(item);
  notesPanel.scrollTop = notesPanel.scrollHeight;
}

async function loadCore() {
  try {
    const { default: createClipdraw } = await import("./clipdraw.js");
    return await createClipdraw({ print: say, printErr: say });
  } catch (error) {
    $("loading").textContent =
      `clipdraw could not start: ${error.message}. The page needs a browser with ` +
      "WebAssembly, opened over HTTP from the folder that holds clipdraw.js and clipdraw.wasm.";
    throw error;
  }
}

const core = await loadCore();
const text = (pointer) => (pointer === 0 ? null : core.UTF8ToString(pointer));
const json = (pointer) => (pointer === 0 ? null : JSON.parse(core.UTF8ToString(pointer)));
const call = (name, ...args) =>
  core.ccall(
    name,
    "number",
    args.map((a) => (typeof a === "string" ? "string" : "number")),
    args,
  );
const showClipLines = $("show-clip-lines");
const showGrid = $("show-grid");
const pixelSize = $("pixel-size");

// How many CSS pixels one raster pixel takes: the core draws a frame of the drawing area's size
// divided by it, the canvas shows that frame magnified without smoothing, and a click maps to
// the pixel under it, as the window maps a click on a window of the frame's size.
let factor = 1;
const rasterSize = (cssPixels) => Math.max(Math.ceil(cssPixels / factor), 1);
const rasterPoint = (event) => [Math.floor(event.offsetX / factor), Math.floor(event.offsetY / factor)];
const stepView = createStepView(core, canvas, note, rasterPoint);

// The window's five texts at its raster positions (-1 to 1, y upwards), on their baselines, in a
// w x h area of the context; at factor 1 in the frame's canvas as the window draws them, at any
// other on the layer, where they stay readable.
function drawTexts(target, w, h) {
  target.fillStyle = "#" + core._page_text_colour().toString(16).padStart(6, "0");
  target.font = "12px sans-serif";
  target.textAlign = "start";
  target.textBaseline = "alphabetic";
  for (let i = 0; i < core._page_text_count(); ++i) {
    target.fillText(
      text(core._page_text(i)),
      ((core._page_text_x(i) + 1) * w) / 2,
      h - ((core._page_text_y(i) + 1) * h) / 2,
    );
  }
}

// The aids beside and over the frame, from the core's checks at the frame's size.
function drawAids() {
  const w = canvas.width;
  const h = canvas.height;
  const check = json(core._page_check_pending(w, h));
  const clip = showClipLines.checked ? json(core._page_check_clip(w, h)) : null;
  const shown = { scale: factor, ratio: window.devicePixelRatio || 1, grid: factor >= 8 && showGrid.checked };
  const target = drawLayer(layer, w, h, check, clip, shown);
  if (factor !== 1) {
    drawTexts(target, w * factor, h * factor);
  }
  const [words, bad] = check === null ? ["", false] : verdictText(check);
  const verdict = $("verdict");
  verdict.textContent = words === "" ? "" : `The corners entered: ${words}.`;
  verdict.classList.toggle("bad", bad);
  showColours();
}

const hex = (c) =>
  "#" +
  c
    .map((v) =>
      Math.round(Math.min(Math.max(v, 0), 1) * 255)
        .toString(16)
        .padStart(2, "0"),
    )
    .join("");
const numbers = (c) => c.map(floatText).join(", ");

function showColours() {
  const colours = json(core._page_colours());
  const palette = $("palette");
  if (palette.childElementCount !== Math.min(colours.palette.length, 10)) {
    palette.replaceChildren(
      ...colours.palette.slice(0, 10).map((c, digit) => {
        const swatch = document.createElement("button");
        swatch.className = "swatch";
        swatch.dataset.digit = digit;
        swatch.textContent = digit;
        return swatch;
      }),
    );
  }
  [...palette.children].forEach((swatch, digit) => {
    const c = colours.palette[digit];
    swatch.style.background = hex(c.slice(0, 3));
    // The digit in black or white, whichever reads on the swatch.
    swatch.style.color = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2] > 0.5 ? "#000" : "#fff";
    swatch.setAttribute("aria-label", `Colour ${digit}: RGBA ${numbers(c)}`);
  });
  $("current-chip").style.background = hex(colours.current.slice(0, 3));
  $("current-text").textContent = `current colour RGBA(${numbers(colours.current)})`;
}

// One frame: the core's frame pass at the canvas's size, its 8-bit pixels put as they are, then
// at factor 1 the texts over them, as in the window.
function drawFrame() {
  const w = canvas.width;
  const h = canvas.height;
  if (core._page_render(w, h)) {
    const bytes = core._page_convert();
    if (bytes !== 0) {
      context.putImageData(new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, bytes, 4 * w * h), w, h), 0, 0);
    }
    if (factor === 1) {
      drawTexts(context, w, h);
    }
  }
}

// What every key and resize redraws: the frame, the aids and the step view.
function draw() {
  drawFrame();
  drawAids();
  stepView.refresh();
}

function setFactor(value) {
  factor = value;
  pixelSize.value = String(value);
}

// Start-up, as the program's: the data files are read, the scene is empty and the drawing area
// takes the configured size (in frame pixels, each as large as the factor), which draws the
// first frame.
function start() {
  core._page_start();
  view.style.width = core._page_window_width() * factor + "px";
  view.style.height = core._page_window_height() * factor + "px";
  if (!resized()) {
    draw();
  }
}

// The canvas takes the drawing area's size over the factor and shows a frame of it, once a size.
function resized() {
  const w = rasterSize(view.clientWidth);
  const h = rasterSize(view.clientHeight);
  if (canvas.width === w && canvas.height === h && canvas.style.width === `${w * factor}px`) {
    return false;
  }
  canvas.width = w;
  canvas.height = h;
  canvas.style.width = `${w * factor}px`;
  canvas.style.height = `${h * factor}px`;
  draw();
  return true;
}

// The history: each entry is what the data files, the committed shapes and the corners being
// entered were before a step, so that putting them back gives the same frame bit for bit.
const undone = [];
const done = [];
const readFile = (name) => (core.FS.analyzePath(name).exists ? core.FS.readFile(name) : null);
function snapshot() {
  return {
    config: readFile("config.txt"),
    clip: readFile("clippoly.txt"),
    scene: text(core._page_scene_text()),
    pending: text(core._page_pending_text()),
    width: view.clientWidth,
    height: view.clientHeight,
    factor,
  };
}
const sameBytes = (a, b) =>
  a === b || (a !== null && b !== null && a.length === b.length && a.every((v, i) => v === b[i]));
function restore(entry) {
  const now = snapshot();
  quiet = true;
  try {
    const put = (name, bytes) =>
      bytes === null ? core.FS.analyzePath(name).exists && core.FS.unlink(name) : core.FS.writeFile(name, bytes);
    put("config.txt", entry.config);
    put("clippoly.txt", entry.clip);
    setFactor(entry.factor);
    if (!sameBytes(now.config, entry.config)) {
      core._page_start();
      view.style.width = entry.width + "px";
      view.style.height = entry.height + "px";
    } else if (!sameBytes(now.clip, entry.clip)) {
      call("page_load_clip", "clippoly.txt");
    }
    core.FS.writeFile("history.txt", entry.scene);
    call("page_load_scene", "history.txt");
    core.FS.writeFile("history.txt", entry.pending);
    call("page_set_pending", "history.txt");
    core.FS.unlink("history.txt");
  } finally {
    quiet = false;
  }
  if (!resized()) {
    draw();
  }
  return now;
}
function record() {
  done.push(snapshot());
  if (done.length > HISTORY) {
    done.shift();
  }
  undone.length = 0;
  historyButtons();
}
function travel(from, to) {
  if (from.length > 0) {
    to.push(restore(from.pop()));
    historyButtons();
  }
}
const undo = () => travel(done, undone);
const redo = () => travel(undone, done);
function historyButtons() {
  $("undo").disabled = done.length === 0;
  $("redo").disabled = undone.length === 0;
}

// A file of the user's, taken for what it holds whatever its name (for the picker's kind when
// it holds lines of that kind, a file may hold several): a config starts
// afresh, as the program does; a clip polygon takes the place of the one there is and clips the
// same shapes; a scene replaces the committed shapes. Anything else changes nothing.
async function load(file, preferred) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  core.FS.writeFile("incoming", bytes);
  const kind = call("page_file_kind", "incoming", preferred);
  note(`Took ${file.name} for ${fileKindText(kind)}${kind === 0 ? ": nothing changed." : "."}`);
  if (kind !== 0) {
    record();
    consoleGroup(`${file.name}, as ${["", "config.txt", "clippoly.txt", "a scene"][kind]}`);
  }
  if (kind === 1) {
    core.FS.writeFile("config.txt", bytes);
    setFactor(1);
    start();
  } else if (kind === 2) {
    core.FS.writeFile("clippoly.txt", bytes);
    call("page_load_clip", "clippoly.txt");
    clipNotes(file.name, json(core._page_check_clip(canvas.width, canvas.height))).forEach(note);
    draw();
  } else if (kind === 3) {
    call("page_load_scene", "incoming");
    draw();
  }
  core.FS.unlink("incoming");
  document.dispatchEvent(new CustomEvent("clipdraw-loaded", { detail: { name: file.name, kind } }));
}

// A lesson: one file that is its config, its clip polygon and its scene, shown at 32 screen pixels
// a pixel. It starts afresh, as a config does.
async function lesson(name) {
  const response = await fetch(`lessons/${name}`).catch(() => null);
  if (response === null || !response.ok) {
    note(`The lesson ${name} could not be fetched: nothing changed.`);
    return;
  }
  const bytes = new Uint8Array(await response.arrayBuffer());
  record();
  consoleGroup(`lesson ${name}, as config.txt, clippoly.txt and a scene`);
  core.FS.writeFile("config.txt", bytes);
  core.FS.writeFile("clippoly.txt", bytes);
  setFactor(32);
  start();
  core.FS.writeFile("incoming", bytes);
  call("page_load_scene", "incoming");
  core.FS.unlink("incoming");
  draw();
  note(`Lesson ${name}: a ${canvas.width} x ${canvas.height} frame at 32 screen pixels a pixel.`);
  document.dispatchEvent(new CustomEvent("clipdraw-loaded", { detail: { name, kind: 1 } }));
}

function save() {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([text(core._page_scene_text())], { type: "text/plain" }));
  link.download = "scene.txt";
  link.click();
  URL.revokeObjectURL(link.href);
}

// A key the window reads, with the steps undo keeps and the note on a commit.
function key(character) {
  const before = json(core._page_colours());
  const commits = character === " " && before.pending > 0;
  if (commits || (character === "n" && before.shapes > 0)) {
    record();
  }
  core._page_key(character.charCodeAt(0));
  if (commits) {
    const check = json(core._page_check_shape(-1, canvas.width, canvas.height));
    const words = check === null ? null : commitNote(before.shapes + 1, check);
    if (words !== null) {
      note(words);
    }
  }
  draw();
}

for (const name of ["config.txt", "clippoly.txt"]) {
  const response = await fetch(name).catch(() => null);
  if (response !== null && response.ok) {
    core.FS.writeFile(name, new Uint8Array(await response.arrayBuffer()));
  }
}
document.title = text(core._page_title());
consoleGroup("start-up: config.txt and clippoly.txt");
start();
clipNotes("clippoly.txt", json(core._page_check_clip(canvas.width, canvas.height))).forEach(note);
new ResizeObserver(resized).observe(view);
$("loading").hidden = true;

canvas.addEventListener("mousedown", (event) => {
  canvas.focus();
  if (stepView.takesClick(event)) {
    return;
  }
  if (event.button === 0) {
    core._page_left_click(...rasterPoint(event), canvas.height);
    drawAids(); // a click does not redraw the frame, as in the window
  } else if (event.button === 2) {
    if (json(core._page_colours()).pending > 0) {
      record();
    }
    core._page_right_click();
    drawAids();
  }
});
canvas.addEventListener("contextmenu", (event) => event.preventDefault());
canvas.addEventListener("mousemove", (event) => {
  const at = json(call("page_point_at", ...rasterPoint(event), canvas.width, canvas.height));
  $("status").textContent =
    at === null
      ? ""
      : `Pointer: view (${floatText(at[0])}, ${floatText(at[1])}), ` +
        `raster column ${at[2]}, row ${at[3]} (row 0 at the bottom)`;
});
canvas.addEventListener("mouseleave", () => ($("status").textContent = ""));

// The window's keys are characters, read while the drawing or the step view has the focus;
// keys with Ctrl, Alt or Meta stay the browser's, but for undo and redo.
function drawingKey(event) {
  if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === "z") {
    event.preventDefault();
    return event.shiftKey ? redo() : undo();
  }
  const character = event.key;
  if (character.length !== 1 || character.charCodeAt(0) > 255 || event.ctrlKey || event.metaKey || event.altKey) {
    return;
  }
  event.preventDefault();
  key(character);
}
canvas.addEventListener("keydown", (event) => stepView.key(event) || drawingKey(event));
// In the step view its buttons keep space and Enter, which would press them.
$("steps").addEventListener("keydown", (event) => {
  if (
    !(event.target instanceof HTMLButtonElement && (event.key === " " || event.key === "Enter")) &&
    event.target.id !== "steps-slider"
  ) {
    drawingKey(event);
  }
});
document.addEventListener("keydown", (event) => {
  if (
    event.target !== canvas &&
    (event.ctrlKey || event.metaKey) &&
    event.key.toLowerCase() === "z" &&
    !(event.target instanceof HTMLInputElement)
  ) {
    event.preventDefault();
    return event.shiftKey ? redo() : undo();
  }
});

for (const [id, kind] of [
  ["config-file", 1],
  ["clip-file", 2],
  ["scene-file", 3],
]) {
  $(id).addEventListener("change", async (event) => {
    const file = event.target.files[0];
    event.target.value = "";
    if (file) {
      await load(file, kind);
    }
  });
}
$("save-scene").addEventListener("click", save);
$("undo").addEventListener("click", undo);
$("redo").addEventListener("click", redo);
$("palette").addEventListener("click", (event) => {
  const digit = event.target.closest(".swatch")?.dataset.digit;
  if (digit !== undefined) {
    key(digit);
  }
});
showClipLines.addEventListener("change", drawAids);
showGrid.addEventListener("change", drawAids);
pixelSize.addEventListener("change", () => {
  setFactor(Number(pixelSize.value));
  resized();
});
$("lesson").addEventListener("change", async (event) => {
  const name = event.target.value;
  event.target.value = "";
  if (name !== "") {
    await lesson(name);
  }
});
// A new device pixel ratio (a zoom, another screen) redraws the layer at it.
const watchRatio = () =>
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener(
    "change",
    () => {
      drawAids();
      watchRatio();
    },
    { once: true },
  );
watchRatio();
$("large-text").addEventListener("change", (event) => document.body.classList.toggle("large", event.target.checked));
$("timing").addEventListener("click", () => {
  const atSizeOne = (measure) => {
    const [was, area] = [factor, [view.style.width, view.style.height]];
    setFactor(1);
    resized();
    measure();
    setFactor(was);
    [view.style.width, view.style.height] = area;
    resized();
  };
  const steps = $("steps").hidden ? null : { redraw: stepView.redraw, zoom: $("steps-zoom").selectedOptions[0].text };
  $("timing-result").textContent = timeFrames(
    canvas,
    { frameAlone: drawFrame, keyFrame: draw, steps, factor, atSizeOne },
    15,
  );
});
view.addEventListener("dragover", (event) => event.preventDefault());
view.addEventListener("drop", async (event) => {
  event.preventDefault();
  for (const file of event.dataTransfer.files) {
    await load(file, 0);
  }
});
