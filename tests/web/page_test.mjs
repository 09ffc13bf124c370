// The page in Debian's Chromium, headless, driven over the DevTools protocol: the title, the first
// frame and the frame after every drag sequence of the render cases (sent as real mouse events)
// against zantrel-render's pictures byte for byte, the canvas on a dense screen, keys, Q, closing
// the tab, and a browser without WebAssembly. Writes JUnit XML; exit status 1 when anything failed.
//
//   node page_test.mjs PAGE_DIR ZANTREL_RENDER CASES_FILE OUT_DIR JUNIT_FILE
import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { launchChromium } from "./browser.mjs";
import { serve } from "./serve.mjs";
import { seenDrags } from "./seen_drags.mjs";

const [pageDir, render, casesFile, outDir, junitFile] = process.argv.slice(2);
const kTitle = "Zantrel -Sample-";
const kSize = 400;
const kEndedText = "The program has ended.";

// --- Reference pictures ------------------------------------------------------------------------

// zantrel-render's final frame for the drags, as the canvas holds it: top-down R, G, B, A rows.
function referenceFrame(name, drags) {
  const file = join(outDir, `${name}.bmp`);
  execFileSync(render, [...drags.flatMap(d => ["--drag", d.join(",")]), "--out", file]);
  const bmp = readFileSync(file);
  const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
  if (width !== kSize || height !== kSize || bmp.readUInt16LE(28) !== 32) throw new Error(`${file}: not 400x400x32`);
  const rgba = Buffer.alloc(kSize * kSize * 4);
  for (let y = 0; y < kSize; ++y) {
    const row = offset + (kSize - 1 - y) * kSize * 4;  // bottom-up rows
    for (let x = 0; x < kSize; ++x) {
      const from = row + x * 4, to = (y * kSize + x) * 4;
      rgba[to] = bmp[from + 2];
      rgba[to + 1] = bmp[from + 1];
      rgba[to + 2] = bmp[from];
      rgba[to + 3] = 255;
    }
  }
  return rgba;
}

const sha256 = bytes => createHash("sha256").update(bytes).digest("hex");

// One line per case: name, then --drag PX0,PY0,PX1,PY1 arguments (16-bit words: 65531 is -5).
function readCases() {
  const toClient = v => (v > 32767 ? v - 65536 : v);
  return readFileSync(casesFile, "utf8").split("\n").map(line => line.trim())
    .filter(line => line && !line.startsWith("#")).map(line => {
      const [name, ...args] = line.split(/\s+/);
      const drags = [];
      for (let i = 0; i + 1 < args.length; i += 2) drags.push(args[i + 1].split(",").map(Number).map(toClient));
      return { name, drags };
    });
}

// --- The page ----------------------------------------------------------------------------------

async function canvasDigest(page) {
  return page.evaluate(async () => {
    const canvas = document.getElementById("canvas");
    const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    const digest = await crypto.subtle.digest("SHA-256", data);
    return [...new Uint8Array(digest)].map(b => b.toString(16).padStart(2, "0")).join("");
  });
}

async function differingPixels(page, expected) {
  const actual = Buffer.from(await page.evaluate(() => {
    const canvas = document.getElementById("canvas");
    const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let text = "";
    for (let i = 0; i < data.length; ++i) text += String.fromCharCode(data[i]);
    return btoa(text);
  }), "base64");
  if (actual.length !== expected.length) return `canvas holds ${actual.length / 4} pixels, not ${kSize * kSize}`;
  let count = 0, first = -1;
  for (let i = 0; i < expected.length; i += 4) {
    if (actual.compare(expected, i, i + 4, i, i + 4) !== 0) {
      if (first < 0) first = i / 4;
      ++count;
    }
  }
  return `${count} pixels differ from zantrel-render's frame, the first at (${first % kSize}, ${Math.floor(first / kSize)})`;
}

// The frame is drawn once the program has taken the events; wait for it up to a few seconds.
async function frameMatches(page, expected) {
  const want = sha256(expected);
  for (let i = 0; i < 50; ++i) {
    if (await canvasDigest(page) === want) return "";
    await page.waitForTimeout(100);
  }
  return differingPixels(page, expected);
}

const pageErrors = [];

// Loads the page afresh (a new program; the one before ends as with a closed tab) and waits until
// its window is shown; the canvas's corner is the client origin.
async function load(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => !document.getElementById("canvas").hidden || document.body.dataset.state, null,
    { timeout: 10000 });
  return page.locator("#canvas").boundingBox();
}

async function newPage(context) {
  const page = await context.newPage();
  page.on("pageerror", error => pageErrors.push(error.message));
  return page;
}

// On a screen of two device pixels per CSS pixel, each canvas pixel must show as a 2 x 2 block of
// its own colour: scaled up, never smoothed. Counts the device pixels that are not.
async function smoothedPixels(page) {
  const cdp = await page.context().newCDPSession(page);
  const viewport = page.viewportSize() || { width: 800, height: 600 };
  await cdp.send("Emulation.setDeviceMetricsOverride", { ...viewport, deviceScaleFactor: 2, mobile: false });
  try {
    const box = await page.locator("#canvas").boundingBox();
    const { data: shot } = await cdp.send("Page.captureScreenshot", { format: "png", clip: { ...box, scale: 1 } });
    return await page.evaluate(async png => {
      const image = new Image();
      image.src = `data:image/png;base64,${png}`;
      await image.decode();
      const shown = new OffscreenCanvas(image.width, image.height).getContext("2d");
      shown.drawImage(image, 0, 0);
      const device = shown.getImageData(0, 0, image.width, image.height).data;
      const canvas = document.getElementById("canvas");
      const own = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
      if (image.width !== 2 * canvas.width || image.height !== 2 * canvas.height) return image.width * image.height;
      let wrong = 0;
      for (let y = 0; y < image.height; ++y) {
        for (let x = 0; x < image.width; ++x) {
          const d = (y * image.width + x) * 4, o = ((y >> 1) * canvas.width + (x >> 1)) * 4;
          if (device[d] !== own[o] || device[d + 1] !== own[o + 1] || device[d + 2] !== own[o + 2]) ++wrong;
        }
      }
      return wrong;
    }, shot);
  } finally {
    await cdp.send("Emulation.clearDeviceMetricsOverride");
    await cdp.detach();
  }
}

async function drag(page, origin, [x0, y0, x1, y1]) {
  await page.mouse.move(origin.x + x0, origin.y + y0);
  await page.mouse.down();
  await page.mouse.move(origin.x + x1, origin.y + y1);
  await page.mouse.up();
}

async function statusText(page) {
  return page.evaluate(() => document.getElementById("status").textContent);
}

const liveObjects = page => page.evaluate(() => Module._zantrel_live_gdi_objects());

// Ends the program with `how` and checks that it ended as on a desktop: status 0, said on the
// page, and the globals' destructors run (the surface's device context, bitmap and pen deleted).
async function endsCleanly(page, how) {
  const before = await liveObjects(page);
  if (before === 0) return "the running program holds no platform objects";
  await how();
  try {
    await page.waitForFunction(() => document.body.dataset.state === "ended", null, { timeout: 5000 });
  } catch {
    return "the page does not say that the program has ended";
  }
  const text = await statusText(page);
  if (text !== kEndedText) return `the page says "${text}"`;
  const after = await liveObjects(page);
  if (after !== 0) return `${after} of the program's ${before} platform objects outlive it`;
  return await page.locator("#canvas").isHidden() ? "" : "the canvas still shows after the end";
}

// --- Cases -------------------------------------------------------------------------------------

const results = [];
async function check(name, body) {
  let message;
  try {
    message = await body();
  } catch (error) {
    message = String(error.message || error).split("\n")[0];
  }
  results.push({ name, message });
  if (message) console.error(`web: ${name}: ${message}`);
}

async function main() {
  mkdirSync(outDir, { recursive: true });
  const server = await serve(pageDir);
  const url = `http://127.0.0.1:${server.address().port}/zantrel.html`;
  const { context, close } = await launchChromium();
  try {
    const cases = readCases();
    const initial = referenceFrame("initial", []);
    const page = await newPage(context);
    let origin = await load(page, url);
    await check("title", async () => {
      const title = await page.title();
      return title === kTitle ? "" : `title is "${title}"`;
    });
    await check("one_canvas_at_its_own_size", async () => {
      const canvases = await page.evaluate(() => [...document.querySelectorAll("canvas")].map(c => [c.width, c.height]));
      if (canvases.length !== 1) return `${canvases.length} canvases`;
      const shown = [origin.width, origin.height], own = canvases[0];
      return own.join() === `${kSize},${kSize}` && shown.join() === own.join() ? ""
        : `a ${own.join("x")} canvas shown at ${shown.join("x")}`;
    });
    await check("first_frame", () => frameMatches(page, initial));
    await page.screenshot({ path: join(outDir, "page.png"), clip: { x: 0, y: 0, width: 432, height: 470 } });
    await check("dense_screen_unsmoothed", async () => {
      const wrong = await smoothedPixels(page);
      return wrong ? `${wrong} device pixels differ from the canvas pixel they show` : "";
    });

    // Every case on a freshly loaded page: the program starts anew, as zantrel-render does.
    for (const { name, drags } of cases) {
      if (!drags.length) continue;
      origin = await load(page, url);
      await check(`drag_${name}`, async () => {
        for (const d of drags) await drag(page, origin, d);
        return frameMatches(page, referenceFrame(name, seenDrags(drags, kSize)));
      });
    }

    // Keys other than Q change nothing; Q during a drag ends the program with status 0.
    const last = cases[cases.length - 1];
    const lastFrame = referenceFrame(`${last.name}-again`, seenDrags(last.drags, kSize));
    await check("other_keys", async () => {
      await page.locator("#canvas").focus();
      for (const key of ["w", "Escape", " ", "Enter", "ArrowLeft", "F2"]) await page.keyboard.press(key);
      await page.waitForTimeout(200);
      if (await page.evaluate(() => document.body.dataset.state)) return `ended: "${await statusText(page)}"`;
      return frameMatches(page, lastFrame);
    });
    await check("quit_q", async () => {
      await page.mouse.move(origin.x + 150, origin.y + 200);
      await page.mouse.down();
      const message = await endsCleanly(page, () => page.keyboard.press("q"));
      await page.mouse.up();
      return message;
    });

    // Closing the tab closes the window: the program ends by the same path. (The page's own
    // unload event, as a real close would leave no page to look at.)
    await load(page, url);
    await check("close_tab", () =>
      endsCleanly(page, () => page.evaluate(() => window.dispatchEvent(new Event("beforeunload")))));
    await page.close();

    await check("no_webassembly", async () => {
      const bare = await context.newPage();
      await bare.addInitScript(() => { delete globalThis.WebAssembly; });
      await bare.goto(url);
      const text = await statusText(bare);
      await bare.close();
      return /cannot run WebAssembly/.test(text) ? "" : `the page says "${text}"`;
    });
    await check("no_script_errors", async () => (pageErrors.length ? pageErrors.join("; ") : ""));
  } finally {
    await close();
    server.close();
  }
}

function writeJunit() {
  const escape = text => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  const failed = results.filter(r => r.message).length;
  const lines = ['<?xml version="1.0" encoding="utf-8"?>',
    `<testsuite name="web" tests="${results.length}" failures="${failed}">`,
    ...results.map(({ name, message }) => (message
      ? `  <testcase classname="web" name="${name}"><failure message="${escape(message)}"/></testcase>`
      : `  <testcase classname="web" name="${name}"/>`)),
    "</testsuite>", ""];
  writeFileSync(junitFile, lines.join("\n"));
  console.log(`web: ${results.length - failed} of ${results.length} passed`);
  return failed;
}

let crashed = false;
try {
  await main();
} catch (error) {
  results.push({ name: "browser", message: String(error.message || error).split("\n")[0] });
  console.error(error);
  crashed = true;
}
process.exit(writeJunit() || crashed ? 1 : 0);
