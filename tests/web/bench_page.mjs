// Runs the WebAssembly build of zantrel-bench in a page of headless Chromium, with a canvas for
// its window, and writes what it prints (benchmark JSON) to a file.
//
//   node bench_page.mjs BENCH_DIR MIN_TIME OUT_FILE
import { writeFileSync } from "node:fs";
import { launchChromium } from "./browser.mjs";
import { serve } from "./serve.mjs";

const [benchDir, minTime, outFile] = process.argv.slice(2);
const page = `<!doctype html>
<title>zantrel-bench</title>
<canvas id="canvas" width="400" height="400" hidden></canvas>
<script>
  const printed = [];
  var Module = {
    arguments: ["--benchmark_min_time=${Number(minTime)}"],
    print: line => printed.push(line),
    postRun: [() => { window.benchOutput = printed.join("\\n"); }],
    onAbort: what => { window.benchError = String(what); },
  };
</script>
<script src="zantrel-bench.js"></script>`;

const server = await serve(benchDir, { "/bench.html": page });
const { context, close } = await launchChromium();
try {
  const tab = await context.newPage();
  const errors = [];
  tab.on("pageerror", error => errors.push(error.message));
  await tab.goto(`http://127.0.0.1:${server.address().port}/bench.html`, { waitUntil: "commit" });
  await tab.waitForFunction(() => window.benchOutput !== undefined || window.benchError || null, null,
    { timeout: 600000, polling: 500 });
  const failed = await tab.evaluate(() => window.benchError);
  if (failed || errors.length) throw new Error(failed || errors.join("; "));
  writeFileSync(outFile, await tab.evaluate(() => window.benchOutput));
} finally {
  await close();
  server.close();
}
