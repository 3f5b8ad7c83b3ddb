// What the web tests share: where the project, the built page and the native
// converter are, the POFs to convert, the -device words of each source kind,
// and a native run of the command line in a scratch folder.
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const distDir = join(root, 'web', 'dist');
export const native = resolve(root, process.env.FUSECVT_NATIVE || 'build/gcc/fusecvt');

// The sample folder: FUSECVT_SAMPLES, else shared/pof-samples beside the
// project or beside one of its parent folders.
function findSamplesDir() {
  if (process.env.FUSECVT_SAMPLES) return process.env.FUSECVT_SAMPLES;
  for (let dir = root; dir !== dirname(dir); dir = dirname(dir)) {
    const candidate = join(dirname(dir), 'shared', 'pof-samples');
    if (existsSync(candidate)) return candidate;
  }
  return '';
}
const samplesDir = findSamplesDir();

// The real sample POFs with the device named in SOURCES.tsv; the shipped
// examples when the sample folder is absent.
export function samplePofs() {
  const list = join(samplesDir, 'SOURCES.tsv');
  if (samplesDir && existsSync(list)) {
    const rows = readFileSync(list, 'utf8').split('\n').slice(1).filter((line) => line.trim());
    return rows
      .map((line) => line.split('\t'))
      .map(([file, device]) => ({ path: join(samplesDir, file), device: device.toUpperCase() }))
      .filter(({ path }) => existsSync(path));
  }
  return examplePofs();
}

// The examples the repository ships, with the device each was made for.
const exampleDevices = { demo7032s: 'EPM7032SLC44-10', demo7064s: 'EPM7064SLC44-10', demo7128s: 'EPM7128SLC84-15' };

export function examplePofs() {
  return Object.entries(exampleDevices).map(([name, device]) => ({ path: join(root, 'examples', `${name}.pof`), device }));
}

// Every -device word that leads to a target for the source device, the
// default target's word first; `refused` are words the run turns down.
export function deviceWordsFor(device) {
  const has = (word) => device.includes(word);
  if (has('7032S')) return { words: ['6032es', '6032esl'], refused: ['p6000', '6000e'] };
  if (has('7032AE') || has('3032A')) return { words: ['6032es', '6032esl'], refused: [] };
  if (has('7032')) return { words: ['6000e', 'p6000', '6032es', '6032esl'], refused: [] };
  if (has('7064') || has('3064')) return { words: ['6064es', '6064esl'], refused: [] };
  if (has('7128') || has('3128')) return { words: ['6128es', '6128esl'], refused: [] };
  throw new Error(`no target family for ${device}`);
}

// The fields of a run that depend on the clock: the JEDEC header's date line
// and the elapsed-time line on the console.
export function withoutClock(text) {
  return text
    .replace(/^Created on: .*$/gm, 'Created on: <date>')
    .replace(/ processed \d+ seconds$/gm, ' processed <n> seconds');
}

function filesIn(dir, skip) {
  const files = {};
  const walk = (path, prefix) => {
    for (const name of readdirSync(path)) {
      const child = join(path, name);
      if (statSync(child).isDirectory()) walk(child, `${prefix}${name}/`);
      else if (prefix + name !== skip) files[prefix + name] = new Uint8Array(readFileSync(child));
    }
  };
  walk(dir, '');
  return files;
}

// Runs the native converter as a user would: the POF bytes written into an
// empty folder as `name` and `fusecvt <args> <name>` run there.
export function runNative(bytes, args, name) {
  const dir = mkdtempSync(join(tmpdir(), 'fusecvt-web-'));
  try {
    writeFileSync(join(dir, name), bytes);
    const run = spawnSync(native, [...args, name], { cwd: dir, argv0: 'fusecvt', encoding: 'utf8' });
    if (run.error) throw run.error;
    return { status: run.status, stdout: run.stdout, stderr: run.stderr, files: filesIn(dir, name) };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

// A run's result with its clock fields made fixed, in a form whose equality
// means byte-identical output.
export function comparable(result) {
  const files = {};
  for (const name of Object.keys(result.files).sort()) {
    files[name] = withoutClock(Buffer.from(result.files[name]).toString('latin1'));
  }
  return { status: result.status, stdout: withoutClock(result.stdout), stderr: result.stderr, files };
}
