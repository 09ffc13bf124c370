// Runs the WebAssembly build of zantrel-bench in a page of headless Chromium, with a canvas for
// its window, and writes what it prints (benchmark JSON) to a file.
//
//   node web_page.mjs BENCH_DIR MIN_TIME OUT_FILE [FILTER]
import { writeFileSync } from "node:fs";
import { launchChromium, newPage } from "../scripts/lib/browser.mjs";

const [benchDir, minTime, outFile, filter = ""] = process.argv.slice(2);
const settleMilliseconds = 1000;
// Each benchmark runs unmeasured this long first: Chromium compiles WebAssembly quickly at first
// and optimises what runs often in the background, which takes up to a second on a busy machine.
const warmupSeconds = 1;
const html = `<!doctype html>
<title>zantrel-bench</title>
<canvas id="canvas" width="400" height="400" hidden></canvas>
<script>
  const printed = [];
  var Module = {
    arguments: ${JSON.stringify([`--benchmark_min_time=${Number(minTime)}`,
      `--benchmark_min_warmup_time=${warmupSeconds}`, `--benchmark_filter=${filter}`])},
    print: line => printed.push(line),
    postRun: [() => { window.benchOutput = printed.join("\\n"); }],
    onAbort: what => { window.benchError = String(what); },
  };
  // The browser's other processes start on the same cores as the page: the first benchmark ran
  // about half as slow again while they did. The program loads once they are done.
  setTimeout(() => document.body.append(Object.assign(document.createElement("script"),
    { src: "zantrel-bench.js" })), ${settleMilliseconds});
</script>`;

const browser = await launchChromium();
try {
  const errors = [];
  const tab = await newPage(browser, benchDir, errors);
  await tab.route("http://localhost/bench.html",
    route => route.fulfill({ contentType: "text/html", body: html }));
  await tab.goto("http://localhost/bench.html", { waitUntil: "commit" });
  await tab.waitForFunction(() => window.benchOutput !== undefined || window.benchError || null, null,
    { timeout: 600000, polling: 500 });
  const failed = await tab.evaluate(() => window.benchError);
  if (failed || errors.length) throw new Error(failed || errors.join("; "));
  writeFileSync(outFile, await tab.evaluate(() => window.benchOutput));
} finally {
  await browser.close();
}
