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
    assert.equal(fusecvt.inspect(bytes).readable, false, name);
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
