// For page.evaluate, so in the page: whether its canvas comes to show an image file (base64,
// decoded by Chromium) `scale` times its size within a few seconds (the program draws once it has
// taken the events); else how many pixels differ.
export async function mismatch([file, scale = 1]) {
  const image = await createImageBitmap(await (await fetch(`data:;base64,${file}`)).blob());
  const { width, height } = image, canvas = document.getElementById("canvas");
  const decoded = new OffscreenCanvas(width, height).getContext("2d");
  decoded.drawImage(image, 0, 0);
  const rgba = (c, w, h) => new Uint32Array(c.getImageData(0, 0, w, h).data.buffer);
  const want = rgba(decoded, width, height);
  const at = p => Math.floor(p / width / scale) * canvas.width + Math.floor((p % width) / scale);
  for (let tries = 1; ; ++tries) {
    const shown = rgba(canvas.getContext("2d"), canvas.width, canvas.height);
    const wrong = want.filter((pixel, p) => pixel !== shown[at(p)]).length;
    if (!wrong || tries === 50) return wrong ? `${wrong} pixels differ` : "";
    await new Promise(resolve => setTimeout(resolve, 100));
  }
}
