// The page around the core: a canvas that shows the core's frames, its mouse and keys, the data
// files and the console. Every pixel of the frame comes from the core; the page adds only the
// texts, as the window's text calls do.
"use strict";

const view = document.getElementById("view");
const canvas = document.getElementById("frame");
const context = canvas.getContext("2d");
const consolePanel = document.getElementById("console");

function say(line) {
  consolePanel.textContent += line + "\n";
  consolePanel.scrollTop = consolePanel.scrollHeight;
}

createClipdraw({ print: say, printErr: say }).then(async (core) => {
  const stepView = createStepView(core, canvas, say);

  // One frame: the core's frame pass at the canvas's size, its 8-bit pixels put as they are,
  // then the texts at the window's raster positions (-1 to 1, y upwards), on their baselines.
  function draw() {
    const w = canvas.width;
    const h = canvas.height;
    if (!core._page_render(w, h)) {
      return;
    }
    const bytes = core._page_convert();
    if (bytes !== 0) {
      const pixels = new Uint8ClampedArray(core.HEAPU8.buffer, bytes, 4 * w * h);
      context.putImageData(new ImageData(pixels, w, h), 0, 0);
    }
    const colour = core._page_text_colour();
    context.fillStyle = "#" + colour.toString(16).padStart(6, "0");
    context.font = "12px sans-serif";
    for (let i = 0; i < core._page_text_count(); ++i) {
      const x = ((core._page_text_x(i) + 1) * w) / 2;
      const y = h - ((core._page_text_y(i) + 1) * h) / 2;
      context.fillText(core.UTF8ToString(core._page_text(i)), x, y);
    }
    stepView.refresh();
  }

  // Start-up, as the program's: the data files are read, the scene is empty and the drawing
  // area takes the configured size, which draws the first frame.
  function start() {
    core._page_start();
    view.style.width = core._page_window_width() + "px";
    view.style.height = core._page_window_height() + "px";
    if (!resized()) {
      draw();
    }
  }

  // The canvas takes the drawing area's size and shows a frame of it, once a size.
  function resized() {
    const w = view.clientWidth;
    const h = view.clientHeight;
    if (canvas.width === w && canvas.height === h) {
      return false;
    }
    canvas.width = w;
    canvas.height = h;
    draw();
    return true;
  }

  // A file of the user's: config.txt and clippoly.txt start the scene afresh with it, any other
  // file is a scene file whose shapes replace the committed ones.
  async function load(file, as) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (as === "config.txt" || as === "clippoly.txt") {
      core.FS.writeFile(as, bytes);
      start();
    } else {
      core.FS.writeFile(file.name, bytes);
      core.ccall("page_load_scene", "boolean", ["string"], [file.name]);
      core.FS.unlink(file.name);
      draw();
    }
    window.clipdraw.loads += 1;
  }

  function save() {
    const text = core.UTF8ToString(core._page_scene_text());
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type: "text/plain" }));
    link.download = "scene.txt";
    link.click();
    URL.revokeObjectURL(link.href);
  }

  for (const name of ["config.txt", "clippoly.txt"]) {
    const response = await fetch(name).catch(() => null);
    if (response !== null && response.ok) {
      core.FS.writeFile(name, new Uint8Array(await response.arrayBuffer()));
    }
  }
  document.title = core.UTF8ToString(core._page_title());
  start();
  new ResizeObserver(resized).observe(view);

  canvas.addEventListener("mousedown", (event) => {
    if (stepView.takesClick(event)) {
      return;
    }
    if (event.button === 0) {
      core._page_left_click(Math.floor(event.offsetX), Math.floor(event.offsetY), canvas.height);
    } else if (event.button === 2) {
      core._page_right_click();
    }
  });
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());
  // The window's keys are characters; keys with a modifier stay the browser's.
  document.addEventListener("keydown", (event) => {
    if (stepView.key(event)) {
      return;
    }
    const key = event.key;
    if (key.length !== 1 || key.charCodeAt(0) > 255 || event.ctrlKey || event.metaKey || event.altKey) {
      return;
    }
    event.preventDefault();
    core._page_key(key.charCodeAt(0));
    draw();
  });

  const picker = (id, as) =>
    document.getElementById(id).addEventListener("change", (event) => {
      const file = event.target.files[0];
      event.target.value = "";
      if (file) {
        load(file, as);
      }
    });
  picker("config-file", "config.txt");
  picker("clip-file", "clippoly.txt");
  picker("scene-file", "scene");
  document.getElementById("save-scene").addEventListener("click", (event) => {
    event.target.blur();
    save();
  });
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    for (const file of event.dataTransfer.files) {
      load(file, file.name);
    }
  });

  // For the browser tests and the curious: the core, the frame and how many files were loaded.
  window.clipdraw = { core, draw, stepView, loads: 0 };
});
