// The application's initial scene and its field, with 32-bit integer steps as the C++ code takes
// them (Math.imul and |0 wrap like a 32-bit machine).
export const kBalls = [
  { shape: 1, radius: 80, cx: -50, cy: 0, sx: 2, sy: 1 },
  { shape: 1, radius: 80, cx: 50, cy: 0, sx: 1, sy: 1 },
  { shape: 2, radius: 50, cx: 0, cy: 30, sx: 2, sy: 1 },
];

export function fieldValue(balls, x, y, threshold) {
  let sum = 0.0;
  for (const b of balls) {
    if (b.shape === 1) {
      const dx = Math.imul((b.cx - x) | 0, b.sx);
      const dy = Math.imul((b.cy - y) | 0, b.sy);
      const d2 = (Math.imul(dx, dx) + Math.imul(dy, dy)) | 0;
      sum += (Math.imul(b.radius, b.radius) >>> 0) / (d2 < 2 ? 1e-6 : d2);
    } else if (b.shape === 2) {
      const ax = Math.abs(((b.cx - x) / b.sx) | 0);
      const ay = Math.abs(((b.cy - y) / b.sy) | 0);
      const m = Math.max(ax, ay);
      sum += b.radius / (m < 1 ? 1e-6 : m);
    }
  }
  return sum - threshold;
}

// Field values at the corners of the 200 x 200 cell grid over 400 x 400, row 0 at the top.
export function sampleGrid(values, cells = 200, size = 400) {
  const step = (size / cells) | 0;
  const half = size >> 1;
  const n = cells + 1;
  for (let i = 0; i < n; ++i) {
    for (let j = 0; j < n; ++j) values[i * n + j] = fieldValue(kBalls, j * step - half, half - i * step, 2);
  }
  return values;
}
