// The page in Debian's Chromium, headless: title, canvas, its frames (the first, after each render
// case's drags as real mouse events and as touch contacts on a phone, on a dense screen) against
// zantrel-render's, narrow screens, keys, Q, closing the tab, failures to load. A line a case: its
// name, then a tab and what went wrong if it failed.
//   node page_test.mjs PAGE_DIR ZANTREL_RENDER CASES_FILE OUT_DIR
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync } from "node:fs";
import { launchChromium, newPage, phone, touchscreen } from "../../scripts/lib/browser.mjs";
import { mismatch } from "../../scripts/lib/canvas.mjs";

const [pageDir, render, casesFile, outDir] = process.argv.slice(2);
const errors = [];
let size;  // the canvas's own width and height: the window's client area
const inside = (x, y) => x >= 0 && y >= 0 && x < size && y < size;

async function check(name, body) {
  const message = await body().catch(error => String(error.message || error).split("\n")[0]);
  console.log(message ? `${name}\t${message}` : name);
}
const same = (what, got, want) => (got === want ? "" : `${what} "${got}", not "${want}"`);

// What the canvas sees of real drags (the pointer to (x0, y0), press, to (x1, y1), release), as
// drags for zantrel-render (a press, one move, a release each). Events outside reach no window:
// after a release outside it is still dragging, and the pointer coming back in moves the ball.
function seenDrags(drags) {
  const seen = [];
  let open = null;  // the drag the window is in
  for (const [x0, y0, x1, y1] of drags) {
    if (inside(x0, y0)) {
      if (open) [open[2], open[3]] = [x0, y0];
      seen.push((open = [x0, y0, x0, y0]));
    }
    if (inside(x1, y1) && open) {
      [open[2], open[3]] = [x1, y1];
      open = null;
    }
  }
  return seen;
}

// The same for touch contacts: one that starts off the canvas is not seen, one that ends off it
// not seen to move (the program goes on dragging, but the next contact presses anew).
const seenContacts = drags => drags.filter(([x0, y0]) => inside(x0, y0))
  .map(([x0, y0, x1, y1]) => (inside(x1, y1) ? [x0, y0, x1, y1] : [x0, y0, x0, y0]));

// zantrel-render's frame after the drags: a BMP file in base64.
function reference(name, drags) {
  const file = `${outDir}/${name}.bmp`;
  execFileSync(render, [...drags.flatMap(d => ["--drag", d.join(",")]), "--out", file]);
  return readFileSync(file).toString("base64");
}

// A fresh program (the one before ends as with a closed tab); the canvas as shown on the page.
async function load(page) {
  await page.goto("http://localhost/zantrel.html");
  const box = await page.locator("#canvas:not([hidden])").boundingBox({ timeout: 10000 });
  size = await page.evaluate(() => document.getElementById("canvas").width);
  return box;
}

// Ended as on a desktop: status 0, said on the page, the globals' destructors run (GDI objects).
async function endsCleanly(page, how) {
  const live = () => page.evaluate(() => Module._zantrel_live_gdi_objects());
  const before = await live();
  await how();
  const said = await page.locator("[data-state=ended] #status").textContent({ timeout: 5000 });
  return (before ? "" : "the running program holds no platform objects") ||
    same("the page says", said, "The program has ended.") ||
    same("platform objects left:", await live(), 0);
}

// A case a line: its name, then zantrel-render's --drag arguments, 16-bit words (65531 is -5).
const cases = readFileSync(casesFile, "utf8").split("\n").filter(line => /^[^#\s]/.test(line))
  .map(line => line.trim().split(/\s+/)).map(([name, ...args]) => ({ name, drags: args
    .filter(a => a !== "--drag").map(a => a.split(",").map(v => (v > 32767 ? v - 65536 : +v))) }));

mkdirSync(outDir, { recursive: true });
const browser = await launchChromium();
try {
  const page = await newPage(browser, pageDir, errors);
  let origin = await load(page);
  await check("title", async () => same("the title is", await page.title(), "Zantrel -Sample-"));
  await check("one_canvas", async () => same("canvases:", await page.locator("canvas").count(), 1));
  await check("first_frame", () => page.evaluate(mismatch, [reference("initial", [])]));
  // Two device pixels per CSS pixel: each canvas pixel a 2 x 2 block of its own colour, unsmoothed.
  await check("dense_screen_unsmoothed", async () => {
    const dense = await newPage(browser, pageDir, errors, { deviceScaleFactor: 2 });
    await load(dense);
    const shot = await dense.locator("#canvas").screenshot({ scale: "device" });
    return dense.evaluate(mismatch, [shot.toString("base64"), 2]);
  });
  // Each case on a fresh page (the program starts anew, as zantrel-render does), as real mouse
  // events and as touch contacts (start, move, end) on a phone.
  const tall = await phone(browser, pageDir, errors, 393, 852);
  const touches = drags => drags.flatMap(([x0, y0, x1, y1]) =>
    [["touchStart", [x0, y0]], ["touchMove", [x1, y1]], ["touchEnd"]]);
  const fingers = async steps => {
    const touch = touchscreen(tall, await load(tall), size);
    for (const step of steps) await touch(...step);
  };
  async function mouse(drags) {
    origin = await load(page);
    for (const [x0, y0, x1, y1] of drags) {
      await page.mouse.move(origin.x + x0, origin.y + y0);
      await page.mouse.down();
      await page.mouse.move(origin.x + x1, origin.y + y1);
      await page.mouse.up();
    }
  }
  let last;
  for (const { name, drags } of cases.filter(c => c.drags.length)) {
    await check(`drag_${name}`, async () => {
      await mouse(drags);
      return page.evaluate(mismatch, [(last = reference(name, seenDrags(drags)))]);
    });
  }
  // Only the first finger drags: a second one pressing, moving and lifting, and one coming down
  // after it, change nothing. A contact from outside moving over the canvas is not seen there.
  const gestures = [
    ...cases.filter(c => c.drags.length)
      .map(c => [`touch_${c.name}`, seenContacts(c.drags), touches(c.drags)]),
    ["touch_second_finger", [[150, 200, 190, 225]], [["touchStart", [150, 200]],
      ["touchStart", [150, 200], [250, 200]], ["touchMove", [190, 225], [300, 300]],
      ["touchMove", [190, 225]], ["touchStart", [190, 225], [200, 170]],
      ["touchMove", [190, 225], [100, 100]], ["touchEnd"]]],
    ["touch_outside", [], touches([[150, 200, 150, -15], [-15, 200, 250, 300]])],
  ];
  for (const [name, seen, steps] of gestures) {
    await check(name, async () => {
      await fingers(steps);
      return tall.evaluate(mismatch, [reference(name, seen)]);
    });
  }
  // The whole canvas in view, square, as wide as the screen allows, and no sideways scrolling.
  for (const [width, height] of [[320, 568], [393, 852]]) {
    await check(`fits_${width}_wide`, async () => {
      const narrow = await phone(browser, pageDir, errors, width, height);
      const { x, y, width: shown, height: high } = await load(narrow);
      const scrolls = await narrow.evaluate(() => document.documentElement.scrollWidth > innerWidth);
      return (scrolls ? "the page scrolls sideways" : "") || same("shown height", high, shown) ||
        same("the canvas's width with margins", shown + 2 * x, width) ||
        (y + high <= height ? "" : `the canvas's bottom ${y + high} is out of view`);
    });
  }
  await check("other_keys", async () => {
    await page.focus("#canvas");
    for (const k of "w Escape Space Enter ArrowLeft F2".split(" ")) await page.keyboard.press(k);
    await page.waitForTimeout(200);
    const ended = await page.isHidden("#canvas");
    return ended ? "the program ended" : page.evaluate(mismatch, [last]);
  });
  await check("quit_q_during_a_drag", async () => {
    await page.mouse.move(origin.x + 150, origin.y + 200);
    await page.mouse.down();
    return endsCleanly(page, () => page.keyboard.press("q")).finally(() => page.mouse.up());
  });
  // The page's unload event stands for closing the tab, which would leave no page to look at.
  await check("close_tab", async () => {
    await load(page);
    return endsCleanly(page, () => page.evaluate(() => dispatchEvent(new Event("beforeunload"))));
  });
  // A page that cannot run the program says why.
  for (const [name, breakPage, why] of [
    ["no_webassembly", tab => tab.addInitScript(() => delete globalThis.WebAssembly),
      "This browser cannot run WebAssembly, which the program needs. Try a current browser."],
    ["no_program", tab => tab.route("**/zantrel.js", route => route.fulfill({ status: 404 })),
      "The program could not be loaded: zantrel.js, which holds it, is not beside this page. " +
      "Keep the page and zantrel.js in one folder."]]) {
    await check(name, async () => {
      const broken = await newPage(browser, pageDir, errors);
      await breakPage(broken);
      await broken.goto("http://localhost/zantrel.html");
      const said = await broken.locator("[data-state=ended] #status").textContent({ timeout: 5000 });
      return same("the page says", said, why);
    });
  }
  await check("no_script_errors", async () => errors.join("; "));
} finally {
  await browser.close();
}
