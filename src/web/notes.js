// What the aids say, worded from the core's checks: the live verdict on the shape being entered
// and the one-sentence notes on a commit or a load. The facts (orientation, convexity, pixels,
// what the clip lines keep) are the core's; this file only puts them in words.

const KINDS = ["nothing the program reads", "a config (window size and palette)", "a clip polygon", "a scene"];

export const fileKindText = (kind) => KINDS[kind] ?? KINDS[0];

// The fan's triangles named by their corners, counted from 1 as the layer numbers them, with the
// stray pixels a clockwise one still writes where its walkers restart off a whole row.
const plural = (n, word) => `${n} ${word}${n === 1 ? "" : "s"}`;
const strays = (t) => (t[4] > 0 ? ` (but for ${plural(t[4], "stray pixel")})` : "");
const triangleName = (t) => `${t[0] + 1}-${t[1] + 1}-${t[2] + 1}${t[3] < 0 ? strays(t) : ""}`;

// "triangle 1-3-4 turns clockwise and is not filled", for one or more.
function clockwiseClause(triangles) {
  const names = triangles.map(triangleName).join(", ");
  return triangles.length > 1
    ? `triangles ${names} turn clockwise and are not filled`
    : `triangle ${names} turns clockwise and is not filled`;
}

export function clockwiseTriangles(check) {
  return check.fan.filter((t) => t[3] < 0);
}

// The verdict on the shape being entered, and whether it is a warning.
export function verdictText(check) {
  switch (check.verdict) {
    case "empty":
      return ["", false];
    case "point":
      return ["one corner: a point", false];
    case "line":
      return ["two corners: a line", false];
    case "anticlockwise":
      return ["anticlockwise: it will be filled", false];
    case "clockwise":
      return [`clockwise: it will not be filled${strays(check.fan[0])}`, true];
    case "flat":
      return ["every corner on one line: nothing to fill", true];
    default: {
      const empty = clockwiseTriangles(check);
      const named = empty.length === 0 ? "every triangle turns anticlockwise" : clockwiseClause(empty);
      return [`not convex: filled as a fan of triangles from corner 1, which is not its outline (${named})`, true];
    }
  }
}

// The note on committed shape number (from 1), or null when all is as it looks.
export function commitNote(number, check) {
  if (check.verdict === "clockwise") {
    return `Shape ${number} runs clockwise, so it is not filled: click its corners anticlockwise.`;
  }
  if (check.verdict === "flat") {
    return `Shape ${number} has every corner on one line, so there is nothing to fill.`;
  }
  if (check.verdict === "not convex") {
    const empty = clockwiseTriangles(check);
    return (
      `Shape ${number} is not convex: it is filled as a fan of triangles from its first corner, not as its outline` +
      (empty.length === 0 ? "." : `, and of the fan ${clockwiseClause(empty)}.`)
    );
  }
  if (!check.kept) {
    return `Shape ${number} lies wholly outside what the clip lines keep, so nothing of it is drawn.`;
  }
  return null;
}

// The notes on a loaded clip polygon, one for each thing wrong with it.
export function clipNotes(name, clip) {
  const notes = [];
  if (clip.lines === 0) {
    notes.push(`${name} gives no clip lines: every shape is drawn whole.`);
  }
  if (clip.winding === "clockwise") {
    notes.push(`${name} runs clockwise: each line keeps its left side, outside the polygon, so it keeps nothing.`);
  } else if (clip.winding === "not convex") {
    notes.push(`${name} is not convex: it keeps only where the left sides of all its lines meet.`);
  }
  if (clip.lines > 0 && !clip.closes) {
    notes.push(`${name}: its lines do not close (a line does not start where the one before it ends).`);
  }
  return notes;
}
