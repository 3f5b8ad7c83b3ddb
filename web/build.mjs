// Puts web/dist/ together from the compiled core:
//   fusecvt.mjs  the core, the interface and its default export;
//   index.html   the page with its style, the module and its script inlined,
//                one file that works opened from disk and from a static host.
// Usage: node web/build.mjs <fusecvt-core.js> <dist folder>
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [corePath, distDir] = process.argv.slice(2);
if (!corePath || !distDir) {
  console.error('usage: node web/build.mjs <fusecvt-core.js> <dist folder>');
  process.exit(2);
}
const read = (name) => readFileSync(join(here, name), 'utf8');
const core = readFileSync(corePath, 'utf8');
const api = read('fusecvt-api.js');
const moduleText = `${core}\n${api}\nexport default createFusecvt;\n`;

// The page script imports the module by file name; inlined, it runs in the
// same module text instead.
const importLine = "import createFusecvt from './fusecvt.mjs';\n";
const app = read('app.js');
if (!app.startsWith(importLine)) throw new Error('app.js must start with the module import');
const inlineScript = `${core}\n${api}\n${app.slice(importLine.length)}`;
if (/<\/script/i.test(inlineScript)) throw new Error('the inlined script holds a closing script tag');

let page = read('index.html');
const styleTag = '<link rel="stylesheet" href="style.css">';
const scriptTag = '<script type="module" src="app.js"></script>';
for (const tag of [styleTag, scriptTag]) {
  if (!page.includes(tag)) throw new Error(`index.html lacks ${tag}`);
}
page = page
  .replace(styleTag, () => `<style>\n${read('style.css')}</style>`)
  .replace(scriptTag, () => `<script type="module">\n${inlineScript}</script>`);

mkdirSync(distDir, { recursive: true });
writeFileSync(join(distDir, 'fusecvt.mjs'), moduleText);
writeFileSync(join(distDir, 'index.html'), page);
