// A page at URL (http: or file:) in Debian's Chromium, headless, whose canvas must come to show
// PICTURE (a BMP file); exits non-zero saying what differs or failed.
//   node first_frame.mjs URL PICTURE
import { readFileSync } from "node:fs";
import { launchChromium } from "./browser.mjs";
import { mismatch } from "./canvas.mjs";

const [url, picture] = process.argv.slice(2);
const browser = await launchChromium();
try {
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", error => errors.push(error.message));
  await page.goto(url);
  await page.locator("#canvas:not([hidden])").waitFor({ timeout: 10000 });
  const wrong = (await page.evaluate(mismatch, [readFileSync(picture).toString("base64")])) ||
    errors.join("; ");
  if (wrong) throw new Error(wrong);
} finally {
  await browser.close();
}
