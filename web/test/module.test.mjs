// The WebAssembly module against the native command line: every sample POF
// with no -device and with every -device word of its family gives the same
// status, console text and files, byte for byte (clock fields aside).
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { test } from 'node:test';
import { comparable, deviceWordsFor, distDir, examplePofs, root, runNative, samplePofs } from './support.mjs';

const { default: createFusecvt } = await import(join(distDir, 'fusecvt.mjs'));
const fusecvt = await createFusecvt();

const read = (path) => new Uint8Array(readFileSync(path));
const example = (name) => read(join(root, 'examples', `${name}.pof`));

function expectSameAsNative(bytes, args, name) {
  const wasm = fusecvt.convert(bytes, args, name);
  assert.deepEqual(comparable(wasm), comparable(runNative(bytes, args, name)), `${name} ${args.join(' ')}`);
  return wasm;
}

const jedecNames = (result) => Object.keys(result.files).filter((n) => n.endsWith('.jed'));

test('every sample POF with every -device word of its family', () => {
  const samples = samplePofs();
  assert.ok(samples.length > 0);
  let converted = 0;
  for (const { path, device } of samples) {
    const { words, refused } = deviceWordsFor(device);
    for (const word of [null, ...words, ...refused]) {
      const result = expectSameAsNative(read(path), word ? ['-device', word] : [], basename(path));
      assert.equal(jedecNames(result).length, refused.includes(word) ? 0 : 1, `${path} ${word}`);
      converted += jedecNames(result).length;
    }
  }
  assert.ok(converted >= samples.length);
});

// A plain 7032 design, the source kind of the QPL6000 family.
const plain7032 = 'fuzz/corpus/pof/kind-EPM7032LC44-15.pof';

// Option sets that change the fuse map, the report or the file names.
const optionRuns = [
  ['demo7032s', ['-slew', 'slow', '-secure', '-verbose', '-pd1', '-jtag', 'on']],
  ['demo7032s', ['-device', '6032esl', '-open_out', 'on', '-mc_power', 'off', '-gclk1_itd', '-tdi_pullup']],
  ['demo7064s', ['-pinclk', '-pin_keep', '-race_cover_off', '-power_reset', '-PD2']],
  ['demo7128s', ['-SLEW', 'Fast', '-gclk2_itd', '-gclk3_itd', '-tms_pullup', '-secure']],
  ['demo7128s', ['-o', 'renamed']],
  ['demo7064s', ['-o', 'out.x', '-jtag', 'maybe']],
  ['demo7064s', ['-6064es', '-h2']],
  ['demo7032s', ['-o', 'demo7032s.pof']],
  [plain7032, ['-device', '6000e', '-pin_keep', '-powerdown']],
  [plain7032, ['-device', 'p6000', '-secure', '-race_cover_off', '-verbose', '-slew', 'auto']],
  [plain7032, ['-device', '6032es', '-pinclk', '-jtag', 'off']],
];

test('options reach the run as on the command line', () => {
  for (const [name, args] of optionRuns) {
    const bytes = name === plain7032 ? read(join(root, plain7032)) : example(name);
    expectSameAsNative(bytes, args, `${basename(name, '.pof')}.pof`);
  }
});

// Bytes that are no convertible POF: each fails as on the command line and
// leaves no JEDEC file, and inspect finds nothing to convert.
const badFiles = [
  ['empty.pof', new Uint8Array(0)],
  ['noise.pof', new Uint8Array([0x50, 0x4f, 0x46, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 200, 201])],
  ['header.pof', example('demo7032s').slice(0, 40)],
];

test('files that are not POFs fail as on the command line', () => {
  for (const [name, bytes] of badFiles) {
    const result = expectSameAsNative(bytes, [], name);
    assert.notEqual(result.status, 0, name);
    assert.deepEqual(jedecNames(result), [], name);
    const info = fusecvt.inspect(bytes, name);
    assert.equal(info.readable, false, name);
    // The reader's message names the file as the run does.
    assert.ok(info.console + info.error !== '', name);
    assert.ok((result.stdout + result.stderr).includes(info.console + info.error), `${name}: ${info.console}${info.error}`);
  }
});

test('input names: the folder is dropped and a name without "." is read as .pof', () => {
  const cases = [
    ['Design', ['Design.jed', 'Design.txt']],
    ['some/folder/x.pof', ['x.jed', 'x.txt']],
    ['', ['design.jed', 'design.txt']],
  ];
  for (const [name, files] of cases) {
    const result = fusecvt.convert(example('demo7032s'), [], name);
    assert.equal(result.status, 0, name);
    assert.deepEqual(Object.keys(result.files).sort(), files, name);
  }
});

test('each call is a fresh run: no file of an earlier call is returned', () => {
  const elsewhere = fusecvt.convert(example('demo7064s'), ['-o', '/tmp/first'], 'a.pof');
  assert.deepEqual(Object.keys(elsewhere.files).sort(), ['/tmp/first.jed', '/tmp/first.txt']);
  const nested = fusecvt.convert(example('demo7064s'), ['-o', '../sub'], 'a.pof');
  assert.deepEqual(Object.keys(nested.files).sort(), ['/sub.jed', '/sub.txt']);
  fusecvt.convert(example('demo7064s'), ['-o', 'first'], 'a.pof');
  const second = fusecvt.convert(example('demo7032s'), [], 'b.pof');
  assert.deepEqual(Object.keys(second.files).sort(), ['b.jed', 'b.txt']);
  assert.deepEqual(comparable(second), comparable(runNative(example('demo7032s'), [], 'b.pof')));
});

test('inspect names the device, package, pins, -device words and defaults', () => {
  const packages = { 44: 'PLCC', 84: 'PLCC' };
  for (const { path, device } of examplePofs()) {
    const info = fusecvt.inspect(read(path));
    const pins = Number(device.match(/C(\d+)-/)[1]);
    assert.deepEqual([info.device, info.pins, info.package], [device, pins, packages[pins]], path);
    assert.equal(info.readable, true);
    assert.deepEqual(info.words, deviceWordsFor(info.device).words);
    assert.deepEqual(info.defaults, { slew: 'auto', open_out: 'auto', jtag: 'auto', mc_power: 'auto' });
  }
  // Source kinds whose defaults differ: slew FAST on the plain 7032, output
  // type and JTAG off on the plain 7064 and 7128E, not set on the plain 7032.
  const kinds = [
    ['kind-EPM7032LC44-15', { slew: 'fast', open_out: '', jtag: '', mc_power: 'auto' }, 44],
    ['kind-EPM7064LC84-10', { slew: 'auto', open_out: 'off', jtag: 'off', mc_power: 'auto' }, 84],
    ['kind-EPM7128ELC84-10', { slew: 'auto', open_out: 'off', jtag: 'off', mc_power: 'auto' }, 84],
    ['kind-EPM3032ALC44-10', { slew: 'auto', open_out: 'auto', jtag: 'auto', mc_power: 'auto' }, 44],
  ];
  for (const [name, defaults, pins] of kinds) {
    const info = fusecvt.inspect(read(join(root, 'fuzz', 'corpus', 'pof', `${name}.pof`)));
    assert.equal(info.device, name.slice(5), name);
    assert.deepEqual(info.defaults, defaults, name);
    assert.equal(info.pins, pins, name);
    assert.deepEqual(info.words, deviceWordsFor(info.device).words, name);
  }
  for (const { path, device } of samplePofs()) {
    const info = fusecvt.inspect(read(path));
    assert.equal(info.device, device, path);
    assert.deepEqual(info.words, deviceWordsFor(device).words, path);
  }
});

// The POFs written by web_designs from design fields (tools/web.sh test
// makes them); tests that need them skip when the folder is not given.
const designsDir = process.env.FUSECVT_DESIGNS || '';
const design = (name) => read(join(designsDir, name));

// The logic modes: the POF's bytes go in under its name, and so do a JEDEC
// file's for --equations, which tells the two apart by their content.
test('--verify and --equations give the native output over the sample POFs', () => {
  let checked = 0;
  for (const { path } of samplePofs()) {
    const name = basename(path);
    const verify = expectSameAsNative(read(path), ['--verify'], name);
    assert.ok([0, 3].includes(verify.status), `${name}: exit ${verify.status}`);
    assert.match(verify.stdout, /^Logic check: \d+ macrocells, /m, name);
    expectSameAsNative(read(path), ['--equations'], name);
    expectSameAsNative(read(path), ['--equations', '--json'], name);
    const [jedec] = jedecNames(verify);
    assert.ok(jedec, name);
    for (const args of [['--equations'], ['--equations', '--json']]) {
      const listing = expectSameAsNative(verify.files[jedec], args, jedec);
      assert.equal(listing.status, 0, `${jedec} ${args.join(' ')}`);
      assert.match(listing.stdout, /^(Design: QPL|\{"device": "QPL)/, jedec);
    }
    checked += 1;
  }
  assert.ok(checked > 0);
});

// Verify runs with options and target words, and logic-mode runs that fail.
const logicRuns = [
  ['demo7032s', ['--verify', '-device', '6032esl', '-secure', '-jtag', 'on']],
  ['demo7064s', ['--verify', '-pinclk', '-pin_keep', '-verbose']],
  ['demo7128s', ['--verify', '-o', 'renamed', '-race_cover_off']],
  [plain7032, ['--verify', '-device', '6000e', '-powerdown']],
  [plain7032, ['--verify', '-device', 'p6000', '-pinclk']],
  ['demo7032s', ['--verify', '-device', 'p6000']],
  ['demo7032s', ['--verify', '--equations']],
  ['demo7032s', ['--equations', '--json', '--json']],
  ['demo7032s', ['--check']],
];

test('verify runs with options, and logic modes that fail, as on the command line', () => {
  for (const [name, args] of logicRuns) {
    const bytes = name === plain7032 ? read(join(root, plain7032)) : example(name);
    expectSameAsNative(bytes, args, `${basename(name, '.pof')}.pof`);
  }
  // A JEDEC file that cannot be read: the reason on standard error, status 1.
  for (const [name, bytes] of [['empty.jed', new Uint8Array(0)], ['cut.jed', new TextEncoder().encode('\x02QF100*')]]) {
    const result = expectSameAsNative(bytes, ['--equations'], name);
    assert.equal(result.status, 1, name);
    assert.match(result.stderr, /^Logic check: cannot read the JEDEC file /, name);
  }
});

test('a difference the conversion is known to make: status 3, the JEDEC file written', { skip: !designsDir }, () => {
  for (const word of ['6000e', 'p6000']) {
    const result = expectSameAsNative(design('known.pof'), ['--verify', '-device', word], 'known.pof');
    assert.equal(result.status, 3, word);
    assert.deepEqual(jedecNames(result), ['known.jed'], word);
    assert.match(result.stdout, /^Logic check: MC 3 PT 1: known: /m, word);
  }
  // The same design on the QPL6032ES keeps its logic.
  assert.equal(expectSameAsNative(design('known.pof'), ['--verify', '-device', '6032es'], 'known.pof').status, 0);
});
