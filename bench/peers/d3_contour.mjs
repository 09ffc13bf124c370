// d3-contour on the same work: sample the field on the 201 x 201 grid in JavaScript, extract the
// iso-line at 0 (the field already has the threshold subtracted). Prints one JSON line.
import { contours } from "d3-contour";
import { sampleGrid } from "./scene.mjs";

const n = 201;
const values = new Float64Array(n * n);
const generator = contours().size([n, n]).thresholds([0]).smooth(true);

function time(fn, minMs = 1500) {
  for (let i = 0; i < 20; ++i) fn();  // warm up the JIT
  let runs = 0;
  const start = process.hrtime.bigint();
  let elapsed = 0;
  while (elapsed < minMs * 1e6) {
    fn();
    ++runs;
    elapsed = Number(process.hrtime.bigint() - start);
  }
  return elapsed / runs / 1000;  // microseconds per run
}

let rings = 0;
const pipelineUs = time(() => {
  sampleGrid(values);
  rings = generator(values)[0].coordinates.length;
});
sampleGrid(values);
const contourUs = time(() => generator(values));
console.log(JSON.stringify({ peer: "d3-contour", pipeline_us: pipelineUs, contour_us: contourUs, polygons: rings }));
