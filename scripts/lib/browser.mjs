// Debian's Chromium, headless, with no network: a page's requests for http://localhost/PATH get
// the files under its folder; its script errors go into `errors`.
import { join } from "node:path";
import { chromium } from "playwright-core";

export const launchChromium = () => chromium.launch({ executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-sync"] });

export async function newPage(browser, folder, errors, options = {}) {
  const page = await browser.newPage(options);
  page.on("pageerror", error => errors.push(error.message));
  await page.route("http://localhost/**", route => route.fulfill({
    path: join(folder, new URL(route.request().url()).pathname),
  }).catch(() => route.fulfill({ status: 404 })));
  return page;
}

// A phone's screen, width x height CSS pixels, three device pixels each, touch.
export const phone = (browser, folder, errors, width, height) => newPage(browser, folder, errors,
  { viewport: { width, height }, deviceScaleFactor: 3, hasTouch: true, isMobile: true });

// Touch events through the DevTools protocol on a canvas of `size` pixels shown at `box`:
// touch(type, ...points) with the canvas pixel of each finger still down. A point goes to the
// middle of its pixel; one off the canvas at least 3 CSS pixels off its edge, as a browser takes
// a contact for an area.
export function touchscreen(page, box, size) {
  const cdp = page.context().newCDPSession(page);
  const css = (p, corner) => {
    const at = corner + ((p + 0.5) * box.width) / size;
    return p < 0 ? Math.min(at, corner - 3) : p >= size ? Math.max(at, corner + box.width + 3) : at;
  };
  return async (type, ...points) => (await cdp).send("Input.dispatchTouchEvent", { type,
    touchPoints: points.map(([x, y], id) => ({ x: css(x, box.x), y: css(y, box.y), id })) });
}
