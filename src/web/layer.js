// The aids' layer over the frame: the corners being entered, numbered in click order, with the
// outline closing back to the first; the fan of a shape that is not convex; and, on demand, the
// clip lines with their numbers, directions and kept sides. Every position is the core's mapping
// of a corner to the raster; nothing here is drawn into the frame.
import { clockwiseTriangles } from "./notes.js";

// Raster units to the layer's CSS pixels: column x starts at x, row y (0 the bottom) ends at
// h - y, each unit a pixel of the frame, which the canvas shows `unit` CSS pixels wide.
let unit = 1;
const toLayer = (h, x, y) => [x * unit, (h - y) * unit];

function clipLines(context, h, clip) {
  clip.ends.forEach(([ax, ay, bx, by], i) => {
    const [x0, y0] = toLayer(h, ax, ay);
    const [x1, y1] = toLayer(h, bx, by);
    const length = Math.hypot(x1 - x0, y1 - y0);
    if (!(length > 0)) {
      return;
    }
    // The kept side, lightly: the line's left on screen is its left in the raster, which the
    // flip to the layer turns into the right of (dx, dy) here.
    const nx = -(y1 - y0) / length;
    const ny = (x1 - x0) / length;
    const far = 2 * (context.canvas.width + context.canvas.height); // device pixels: beyond the layer
    context.fillStyle = "rgba(30, 120, 200, 0.06)";
    context.beginPath();
    context.moveTo(x0 - ((x1 - x0) / length) * far, y0 - ((y1 - y0) / length) * far);
    context.lineTo(x0 + ((x1 - x0) / length) * far, y0 + ((y1 - y0) / length) * far);
    context.lineTo(x0 + ((x1 - x0) / length) * far - nx * far, y0 + ((y1 - y0) / length) * far - ny * far);
    context.lineTo(x0 - ((x1 - x0) / length) * far - nx * far, y0 - ((y1 - y0) / length) * far - ny * far);
    context.fill();
    context.strokeStyle = "#1e78c8";
    context.lineWidth = 1.5;
    context.beginPath();
    context.moveTo(x0, y0);
    context.lineTo(x1, y1);
    context.stroke();
    // An arrow at the middle for the direction, the number beside it on the kept side.
    const mx = (x0 + x1) / 2;
    const my = (y0 + y1) / 2;
    const ux = (x1 - x0) / length;
    const uy = (y1 - y0) / length;
    context.fillStyle = "#1e78c8";
    context.beginPath();
    context.moveTo(mx + 7 * ux, my + 7 * uy);
    context.lineTo(mx - 5 * ux + 5 * -nx, my - 5 * uy + 5 * -ny);
    context.lineTo(mx - 5 * ux - 5 * -nx, my - 5 * uy - 5 * -ny);
    context.fill();
    label(context, `L${i}`, mx - 14 * nx, my - 14 * ny, "#1e78c8");
  });
}

function label(context, text, x, y, colour) {
  context.font = "bold 12px sans-serif";
  context.textAlign = "center";
  context.textBaseline = "middle";
  context.lineWidth = 3;
  context.strokeStyle = "rgba(255, 255, 255, 0.9)";
  context.strokeText(text, x, y);
  context.fillStyle = colour;
  context.fillText(text, x, y);
}

// Where a label of the fan goes: at its triangle's centre, moved down a line at a time until it
// clears the labels placed before it (thin triangles have centres close together).
function clearSpot(context, placed, text, x, y) {
  context.font = "bold 12px sans-serif";
  const half = context.measureText(text).width / 2 + 2;
  const overlaps = (at) => placed.some((p) => Math.abs(p.x - x) < p.half + half && Math.abs(p.y - at) < 14);
  while (overlaps(y)) {
    y += 14;
  }
  placed.push({ x, y, half });
  return y;
}

function pending(context, h, check) {
  const points = check.mapped.map(([x, y]) => toLayer(h, x, y));
  if (check.verdict === "not convex") {
    const empty = new Set(clockwiseTriangles(check));
    const placed = [];
    for (const t of check.fan) {
      const [a, b, c] = t.slice(0, 3).map((k) => points[k]);
      context.beginPath();
      context.moveTo(...a);
      context.lineTo(...b);
      context.lineTo(...c);
      context.closePath();
      context.fillStyle = empty.has(t) ? "rgba(200, 0, 0, 0.12)" : "rgba(0, 140, 60, 0.10)";
      context.fill();
      context.strokeStyle = empty.has(t) ? "#c00" : "#0a7a3a";
      context.lineWidth = 1;
      context.stroke();
      const name = `${t[0] + 1}-${t[1] + 1}-${t[2] + 1}${empty.has(t) ? " (clockwise)" : ""}`;
      const x = (a[0] + b[0] + c[0]) / 3;
      const y = clearSpot(context, placed, name, x, (a[1] + b[1] + c[1]) / 3);
      label(context, name, x, y, empty.has(t) ? "#c00" : "#0a7a3a");
    }
  }
  if (points.length >= 2) {
    context.setLineDash([6, 4]);
    context.strokeStyle = "#222";
    context.lineWidth = 1.5;
    context.beginPath();
    points.forEach((p, i) => (i === 0 ? context.moveTo(...p) : context.lineTo(...p)));
    context.closePath();
    context.stroke();
    context.setLineDash([]);
  }
  points.forEach(([x, y], i) => {
    context.beginPath();
    context.arc(x, y, 4, 0, 2 * Math.PI);
    context.fillStyle = "#fff";
    context.fill();
    context.strokeStyle = "#222";
    context.lineWidth = 1.5;
    context.stroke();
    label(context, String(i + 1), x + 10, y - 10, "#222");
  });
}

// Lines between the frame's pixels, one device pixel wide, once a pixel is large enough to see.
function grid(context, width, height, ratio) {
  context.beginPath();
  const half = 0.5 / ratio; // the middle of a device pixel
  for (let x = 1; x < width; ++x) {
    context.moveTo(x * unit - half, 0);
    context.lineTo(x * unit - half, height * unit);
  }
  for (let y = 1; y < height; ++y) {
    context.moveTo(0, y * unit - half);
    context.lineTo(width * unit, y * unit - half);
  }
  context.strokeStyle = "rgba(0, 0, 0, 0.22)";
  context.lineWidth = 1 / ratio;
  context.stroke();
}

// Draws the layer afresh over a width x height frame shown at shown.scale CSS pixels a pixel, at
// the device's pixel ratio: the grid when asked, the clip lines when asked, then the corners
// being entered with the core's check of them. Gives the context, in CSS pixels, for the texts.
export function drawLayer(layer, width, height, check, clip, shown) {
  unit = shown.scale;
  // A canvas given its size anew is allocated anew: only when the size changes.
  const [w, h] = [Math.round(width * unit * shown.ratio), Math.round(height * unit * shown.ratio)];
  if (layer.width !== w || layer.height !== h) {
    layer.width = w;
    layer.height = h;
  }
  layer.style.width = `${width * unit}px`;
  layer.style.height = `${height * unit}px`;
  const context = layer.getContext("2d");
  context.setTransform(shown.ratio, 0, 0, shown.ratio, 0, 0);
  context.clearRect(0, 0, width * unit, height * unit);
  if (shown.grid) {
    grid(context, width, height, shown.ratio);
  }
  if (clip !== null) {
    clipLines(context, height, clip);
  }
  if (check !== null) {
    pending(context, height, check);
  }
  return context;
}
