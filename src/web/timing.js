// How long a frame takes, for the curious and for the browser test, which prints it: the frame
// alone (the core's frame pass, its bytes put on the canvas, the texts) beside the whole of what
// a key redraws (that frame, the aids' layer, the verdict, the colours). Medians of runs frames.
const median = (list) => list.sort((a, b) => a - b)[list.length >> 1];

export function timeFrames(canvas, frameAlone, keyFrame, runs) {
  const alone = [];
  const whole = [];
  for (let i = 0; i < runs; ++i) {
    const t0 = performance.now();
    frameAlone();
    const t1 = performance.now();
    keyFrame();
    const t2 = performance.now();
    alone.push(t1 - t0);
    whole.push(t2 - t1);
  }
  const [a, k] = [median(alone), median(whole)];
  return (
    `one ${canvas.width} x ${canvas.height} frame, medians of ${runs}: the frame alone ${a.toFixed(2)} ms, ` +
    `a key's frame with the aids ${k.toFixed(2)} ms, ${(k / a).toFixed(2)} x the frame alone`
  );
}
