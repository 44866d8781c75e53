// One frame of the web page timed in three parts, render (the core's frame pass), convert (to
// the canvas's bytes) and put (on the canvas), beside the floor: a white frame of the canvas's
// size filled and put from plain JavaScript. Run in the page with the frame's size set; returns
// a line with the medians of `runs` frames. The browser test runs it on the grid scene.
const [runs] = arguments;
const core = clipdraw.core;
const canvas = document.getElementById("frame");
const w = canvas.width;
const h = canvas.height;
const context = canvas.getContext("2d");
const white = context.createImageData(w, h);
const times = { render: [], convert: [], put: [], floor: [] };
for (let i = 0; i < runs; ++i) {
  const t0 = performance.now();
  core._page_render(w, h);
  const t1 = performance.now();
  const bytes = core._page_convert();
  const t2 = performance.now();
  context.putImageData(new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, bytes, 4 * w * h), w, h), 0, 0);
  const t3 = performance.now();
  new Uint32Array(white.data.buffer).fill(0xffffffff);
  context.putImageData(white, 0, 0);
  const t4 = performance.now();
  times.render.push(t1 - t0);
  times.convert.push(t2 - t1);
  times.put.push(t3 - t2);
  times.floor.push(t4 - t3);
}
const [render, convert, put, floor] = Object.values(times).map((list) => list.sort((a, b) => a - b)[list.length >> 1]);
return `one ${w} x ${h} frame, medians of ${runs}: render ${render.toFixed(2)} ms, convert ${convert.toFixed(2)} ms, ` +
  `put ${put.toFixed(2)} ms; the floor (plain JavaScript, fill white and put) ${floor.toFixed(2)} ms; ` +
  `${((render + convert + put) / floor).toFixed(2)} x the floor`;
