// How long a frame takes, for the curious and for the browser test, which prints it: the frame
// alone (the core's frame pass, its bytes put on the canvas, the texts) beside the whole of what
// a key redraws (that frame, the aids' layer, the verdict, the colours) and, when it is open, a
// redraw of the step view at its zoom. Medians of runs frames.
const median = (list) => list.sort((a, b) => a - b)[list.length >> 1];

function medians(tasks, runs) {
  const times = tasks.map(() => []);
  for (let i = 0; i < runs; ++i) {
    tasks.forEach((task, k) => {
      const t0 = performance.now();
      task();
      times[k].push(performance.now() - t0);
    });
  }
  return times.map(median);
}

// The timing at the current pixel size; then, when that is not 1, at size 1 (atSizeOne runs its
// callback with the page switched there and back).
export function timeFrames(canvas, { frameAlone, keyFrame, steps, factor, atSizeOne }, runs) {
  const ms = (t) => `${t.toFixed(2)} ms`;
  const [a, k, s] = medians(steps === null ? [frameAlone, keyFrame] : [frameAlone, keyFrame, steps.redraw], runs);
  let text =
    `pixel size ${factor}, one ${canvas.width} x ${canvas.height} frame, medians of ${runs}: ` +
    `the frame alone ${ms(a)}, a key's frame with the aids ${ms(k)}, ${(k / a).toFixed(2)} x the frame alone`;
  if (steps !== null) {
    text += `; the step view redrawn at ${steps.zoom} ${ms(s)}`;
  }
  if (factor !== 1) {
    atSizeOne(() => {
      const [one] = medians([frameAlone], runs);
      text += `; beside it, pixel size 1, one ${canvas.width} x ${canvas.height} frame alone ${ms(one)}`;
    });
  }
  return text;
}
