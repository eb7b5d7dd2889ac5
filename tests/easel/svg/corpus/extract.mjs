// Writes a fixed sample of each Iconify icon set under node_modules as
// standalone SVG files: sample/<set>/<name>.svg. The sample is every k-th
// icon in name order, so it is the same on every machine for one version.
// Usage: node extract.mjs [count per set, default: the table below]
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const only = Number(process.argv[2] || 0);
// Icons taken from each set: emoji (Noto, Fluent, Twemoji, OpenMoji) and logos
// (SVG logos, VS Code's file icons).
const sets = { 'noto': 120, 'logos': 120, 'fluent-emoji': 120, 'twemoji': 60, 'openmoji': 60, 'vscode-icons': 60 };
for (const [set, count] of Object.entries(sets)) {
  const perSet = only || count;
  const file = path.join(here, 'node_modules', '@iconify-json', set, 'icons.json');
  if (!fs.existsSync(file)) continue;
  const data = JSON.parse(fs.readFileSync(file, 'utf8'));
  const names = Object.keys(data.icons).sort();
  const step = Math.max(1, Math.floor(names.length / perSet));
  const out = path.join(here, 'sample', set);
  fs.rmSync(out, { recursive: true, force: true });
  fs.mkdirSync(out, { recursive: true });
  for (let i = 0; i < names.length && i / step < perSet; i += step) {
    const icon = data.icons[names[i]];
    const w = icon.width ?? data.width ?? 16, h = icon.height ?? data.height ?? 16;
    const left = icon.left ?? data.left ?? 0, top = icon.top ?? data.top ?? 0;
    const svg = '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" ' +
      `width="${w}" height="${h}" viewBox="${left} ${top} ${w} ${h}">${icon.body}</svg>\n`;
    fs.writeFileSync(path.join(out, names[i] + '.svg'), svg);
  }
}
