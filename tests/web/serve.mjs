// A static file server on 127.0.0.1 at a free port, for a page and its program; `pages` maps
// paths to documents served from memory.
import { readFile } from "node:fs/promises";
import { createServer } from "node:http";
import { extname, join, normalize } from "node:path";

const kTypes = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };

export function serve(folder, pages = {}) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    if (path in pages) {
      response.writeHead(200, { "Content-Type": "text/html" }).end(pages[path]);
      return;
    }
    try {
      const body = await readFile(join(folder, path));
      response.writeHead(200, { "Content-Type": kTypes[extname(path)] || "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise(resolve => server.listen(0, "127.0.0.1", () => resolve(server)));
}
