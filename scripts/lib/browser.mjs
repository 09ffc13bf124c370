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
