// The page in Debian's chromium, headless, driven through the DevTools
// protocol: opened from disk and from a local static server, it reads POFs
// through its file input, converts with the options set in its form, and
// offers downloads whose bytes equal the native command line's files.
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';
import puppeteer from 'puppeteer-core';
import { comparable, distDir, root, runNative, samplePofs } from './support.mjs';

const chromium = process.env.FUSECVT_CHROMIUM || '/usr/bin/chromium';
const artifacts = join(root, 'build', 'web');
const scratch = mkdtempSync(join(tmpdir(), 'fusecvt-browser-'));
const pagePath = join(distDir, 'index.html');

let browser;
let server;
let httpUrl;

// Serves web/dist/ on the loopback address only.
function startServer() {
  const types = { '.html': 'text/html; charset=utf-8', '.mjs': 'text/javascript' };
  server = createServer((request, response) => {
    const name = new URL(request.url, 'http://localhost').pathname.slice(1) || 'index.html';
    const path = join(distDir, basename(name));
    if (!existsSync(path)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': types[name.slice(name.lastIndexOf('.'))] || 'application/octet-stream' });
    response.end(readFileSync(path));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(`http://127.0.0.1:${server.address().port}/`)));
}

before(async () => {
  mkdirSync(artifacts, { recursive: true });
  httpUrl = await startServer();
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: join(scratch, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// Where the page is opened: from disk and from the server (known once it
// listens).
const locations = [['file', () => pathToFileURL(pagePath).href], ['http', () => httpUrl]];

// A fresh page at url whose downloads land in their own folder; requests to
// any other place than the page's own are collected in `foreign`.
async function openPage(url, viewport = { width: 1100, height: 900 }) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const downloads = mkdtempSync(join(scratch, 'downloads-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const foreign = [];
  page.on('request', (request) => {
    const target = request.url();
    if (!/^(data|blob|file):/.test(target) && !target.startsWith(httpUrl)) foreign.push(target);
  });
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  return { page, downloads, foreign, errors };
}

async function loadPof(page, path) {
  const input = await page.$('#pof');
  await input.uploadFile(path);
  await page.waitForFunction(
    (name) => document.getElementById('source-file').textContent === name,
    {},
    basename(path),
  );
}

// Sets the form: the -device word, checkboxes and three-way choices.
async function setOptions(page, { word = '', checks = [], choices = {} }) {
  await page.select('#device', word);
  await page.$eval('details', (details) => { details.open = true; });
  for (const flag of checks) await page.click(`#opt${flag.replace(/[^a-z0-9]/g, '_')}`);
  for (const [flag, value] of Object.entries(choices)) {
    await page.select(`#opt${flag.replace(/[^a-z0-9]/g, '_')}`, value);
  }
}

async function waitForResult(page) {
  await page.waitForSelector('#status[data-exit]', { timeout: 20000 });
  return page.$eval('#status', (status) => ({ exit: Number(status.dataset.exit), ms: Number(status.dataset.ms) }));
}

// Clicks every download button and reads the saved files.
async function download(page, folder) {
  const names = await page.$$eval('#downloads a', (links) => links.map((link) => link.download));
  for (const name of names) await page.click(`#downloads a[download="${name}"]`);
  const files = {};
  for (const name of names) {
    const path = join(folder, name);
    for (let i = 0; i < 200 && !(existsSync(path) && statSync(path).size > 0); i++) {
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    files[name] = new Uint8Array(readFileSync(path));
  }
  assert.deepEqual(readdirSync(folder).sort(), Object.keys(files).sort());
  return files;
}

function largestSample() {
  return samplePofs().reduce((best, s) => (statSync(s.path).size > statSync(best.path).size ? s : best)).path;
}

const plain7032 = join(root, 'fuzz', 'corpus', 'pof', 'kind-EPM7032LC44-15.pof');

// Form settings and the command line they stand for.
const cases = [
  { pof: largestSample, form: {}, args: [] },
  { pof: () => join(root, 'examples', 'demo7032s.pof'), form: {}, args: [] },
  {
    pof: () => join(root, 'examples', 'demo7032s.pof'),
    form: { word: '6032es', checks: ['-secure', '-gclk1_itd'], choices: { '-slew': 'slow', '-jtag': 'on' } },
    args: ['-device', '6032es', '-secure', '-slew', 'slow', '-gclk1_itd', '-jtag', 'on'],
  },
  {
    pof: () => plain7032,
    form: { word: 'p6000', checks: ['-powerdown', '-race_cover_off'] },
    args: ['-device', 'p6000', '-powerdown', '-race_cover_off'],
  },
  {
    pof: () => join(root, 'examples', 'demo7128s.pof'),
    form: { word: '6128es', checks: ['-pin_keep', '-tms_pullup'], choices: { '-open_out': 'on', '-mc_power': 'off' } },
    args: ['-device', '6128es', '-pin_keep', '-mc_power', 'off', '-open_out', 'on', '-tms_pullup'],
  },
];

// The POFs written by web_designs from design fields (tools/web.sh test
// makes them); the test that needs them skips when the folder is not given.
const designsDir = process.env.FUSECVT_DESIGNS || '';

// The logic check's lines of a run's console.
const accountOf = (stdout) => (stdout.match(/^Logic check: .*$/gm) || []).join('\n');

// A run with the Verify choice: the command line it shows, the status line,
// the account set apart from the messages and the downloads, compared with
// the native run of the same words. Returns the page state for more checks.
async function verifyRun(url, path, form, args) {
  const opened = await openPage(url);
  const { page, downloads } = opened;
  await loadPof(page, path);
  await setOptions(page, form);
  await page.click('#verify');
  const command = await page.$eval('#command', (code) => code.textContent);
  assert.equal(command, ['fusecvt', '--verify', ...args, basename(path)].join(' '));
  await page.click('#convert');
  const { exit } = await waitForResult(page);
  const expected = runNative(new Uint8Array(readFileSync(path)), ['--verify', ...args], basename(path));
  assert.equal(exit, expected.status);
  const shown = await page.evaluate(() => ({
    status: document.getElementById('status').textContent,
    statusClass: document.getElementById('status').className,
    logicHidden: document.getElementById('logic').hidden,
    logicClass: document.getElementById('logic').className,
    account: document.getElementById('account').textContent,
    lines: [...document.querySelectorAll('#account span')].map((span) => span.className),
    messages: document.getElementById('messages').textContent,
  }));
  assert.equal(shown.logicHidden, false);
  assert.equal(shown.account, `${accountOf(expected.stdout)}\n`);
  assert.ok(!shown.messages.includes('Logic check'), shown.messages);
  const files = await download(page, downloads);
  assert.deepEqual(comparable({ ...expected, files }), comparable(expected));
  return { ...opened, shown, expected };
}

// Opens the equations view with the keyboard and reads its listings.
async function openEquations(page) {
  await page.focus('#equations summary');
  await page.keyboard.press('Enter');
  assert.equal(await page.$eval('#equations', (details) => details.open), true);
  return page.evaluate(() => ({
    source: document.getElementById('equations-source').textContent,
    target: document.getElementById('equations-target-pane').hidden
      ? null : document.getElementById('equations-target').textContent,
  }));
}

test('the page is one file under 1 MB', () => {
  const size = statSync(pagePath).size;
  writeFileSync(join(artifacts, 'first-load.txt'), `index.html ${size} bytes\n`);
  console.log(`first load: index.html ${size} bytes`);
  assert.ok(size < 1000000, `${size} bytes`);
});

for (const [where, url] of locations) {
  test(`from ${where}: conversions give the native files byte for byte`, async () => {
    let warned = 0;
    for (const { pof, form, args } of cases) {
      const path = pof();
      const { page, downloads, foreign, errors } = await openPage(url());
      await loadPof(page, path);
      await setOptions(page, form);
      const command = await page.$eval('#command', (code) => code.textContent);
      assert.equal(command, ['fusecvt', ...args, basename(path)].join(' '));
      await page.click('#convert');
      const { exit, ms } = await waitForResult(page);
      assert.equal(exit, 0);
      const files = await download(page, downloads);
      const expected = runNative(new Uint8Array(readFileSync(path)), args, basename(path));
      assert.deepEqual(comparable({ ...expected, files }), comparable(expected));
      assert.equal(Object.keys(files).length, 2);
      // Warnings are set apart from the plain console text, and nothing is lost.
      const blocks = await page.$$eval('#messages .message', (all) => all.map((b) => [b.className, b.lastChild.textContent]));
      for (const [kind, text] of blocks) {
        assert.equal(kind.includes('warning'), /^WARNING:/m.test(text), text);
      }
      const warnings = expected.stdout.match(/^WARNING:/gm) || [];
      assert.equal(blocks.filter(([kind]) => kind.includes('warning')).length, warnings.length);
      warned += warnings.length;
      if (pof === largestSample) {
        const line = `${where}: ${basename(path)} converted in ${ms.toFixed(1)} ms\n`;
        writeFileSync(join(artifacts, `timing-${where}.txt`), line);
        console.log(line.trim());
        if (where === 'http') await page.screenshot({ path: join(artifacts, 'screenshot.png'), fullPage: true });
      }
      assert.deepEqual(foreign, []);
      assert.deepEqual(errors, []);
      await page.close();
    }
    assert.ok(warned > 0, 'no case showed a warning');
  });

  test(`from ${where}: on a phone-sized screen the result fits the width`, async () => {
    const { page } = await openPage(url(), { width: 390, height: 844, isMobile: true, hasTouch: true });
    await loadPof(page, join(root, 'examples', 'demo7032s.pof'));
    await page.click('#verify');
    await page.click('#convert');
    assert.equal((await waitForResult(page)).exit, 0);
    await page.$eval('#equations', (details) => { details.open = true; });
    const widths = await page.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
    assert.ok(widths[0] <= widths[1], `page ${widths[0]} px wide in a ${widths[1]} px window`);
    if (where === 'http') await page.screenshot({ path: join(artifacts, 'screenshot-phone.png'), fullPage: true });
    await page.close();
  });

  test(`from ${where}: a file that is no POF shows the error and offers no download`, async () => {
    const bad = join(scratch, 'broken.pof');
    writeFileSync(bad, 'this is not a POF file at all\n');
    const { page } = await openPage(url());
    await loadPof(page, bad);
    const problem = await page.$eval('#source-problem', (box) => ({ hidden: box.hidden, text: box.textContent }));
    assert.equal(problem.hidden, false);
    // The reader's own message, as the command line prints it for the file.
    const native = runNative(new Uint8Array(readFileSync(bad)), [], 'broken.pof');
    assert.notEqual(native.status, 0);
    assert.ok(problem.text.length > 0);
    assert.ok((native.stdout + native.stderr).replace(/\x07/g, '').includes(problem.text), problem.text);
    assert.equal(await page.$eval('#settings', (form) => form.hidden), true);
    assert.equal(await page.$$eval('#downloads a', (links) => links.length), 0);
    await page.close();
  });

  test(`from ${where}: a POF dropped on the page loads like a picked one`, async () => {
    const path = join(root, 'examples', 'demo7128s.pof');
    const { page } = await openPage(url());
    await page.evaluate((name, base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const transfer = new DataTransfer();
      transfer.items.add(new File([bytes], name));
      document.getElementById('drop').dispatchEvent(
        new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, basename(path), readFileSync(path).toString('base64'));
    await page.waitForFunction(() => document.getElementById('source-device').textContent !== '');
    const shown = await page.$eval('#source', (list) => list.innerText.replace(/\s+/g, ' ').trim());
    assert.equal(shown, 'File demo7128s.pof Device EPM7128SLC84-15 Package PLCC Pins 84');
    const words = await page.$$eval('#device option', (options) => options.map((o) => o.value));
    assert.deepEqual(words, ['', '6128es', '6128esl']);
    await page.close();
  });

  test(`from ${where}: the form offers the options of the chosen target only`, async () => {
    // -device word of a plain 7032 source, and the options shown for it.
    const shown = [
      ['', ['-powerdown', '-secure', '-slew', '-pinclk', '-race_cover_off', '-pin_keep', '-verbose']],
      ['6000e', ['-powerdown', '-secure', '-slew', '-pinclk', '-race_cover_off', '-verbose']],
      ['p6000', ['-powerdown', '-slew', '-pinclk', '-race_cover_off', '-verbose']],
      ['6032es', ['-pd1', '-pd2', '-secure', '-slew', '-pinclk', '-race_cover_off', '-pin_keep', '-verbose',
        '-mc_power', '-power_reset', '-gclk1_itd', '-gclk2_itd', '-gclk3_itd', '-open_out', '-jtag',
        '-tdi_pullup', '-tms_pullup']],
    ];
    const { page } = await openPage(url());
    await loadPof(page, plain7032);
    const labels = await page.$$eval('#device option', (options) => options.map((o) => o.textContent));
    assert.deepEqual(labels, ['default for this source (no -device)', 'QPL6000E (-device 6000e)',
      'QPL6000 (-device p6000)', 'QPL6032ES (-device 6032es)', 'QPL6032ESL (-device 6032esl)']);
    const slew = await page.$eval('#opt_slew', (select) => select.options[0].textContent);
    assert.equal(slew, 'default for this source (fast)');
    for (const [word, flags] of shown) {
      await page.select('#device', word);
      const visible = await page.$$eval('[data-flag]', (rows) => rows.filter((r) => !r.hidden).map((r) => r.dataset.flag));
      assert.deepEqual(visible, flags, word);
    }
    await page.close();
  });

  test(`from ${where}: Verify shows the logic check's account and the equations of both files`, async () => {
    for (const [path, form, args] of [
      [largestSample(), {}, []],
      [join(root, 'examples', 'demo7032s.pof'), { word: '6032esl', checks: ['-secure'] }, ['-device', '6032esl', '-secure']],
    ]) {
      const { page, shown, expected, foreign, errors } = await verifyRun(url(), path, form, args);
      assert.equal(expected.status, 0);
      assert.equal(shown.statusClass, 'done');
      assert.match(shown.status, /^Conversion completed in \d+ ms; logic check: no difference\.$/);
      assert.equal(shown.logicClass, 'logic same');
      assert.deepEqual(shown.lines.filter((kind) => kind === 'difference' || kind === 'known'), []);
      // The listings equal the command line's for the POF and for the JEDEC
      // file that run wrote.
      const listed = await openEquations(page);
      const jedec = Object.keys(expected.files).find((name) => name.endsWith('.jed'));
      const native = (bytes, name) => runNative(bytes, ['--equations'], name).stdout;
      assert.equal(listed.source, native(new Uint8Array(readFileSync(path)), basename(path)));
      assert.equal(listed.target, native(expected.files[jedec], jedec));
      if (where === 'http' && path === largestSample()) {
        await page.screenshot({ path: join(artifacts, 'screenshot-verify.png'), fullPage: true });
      }
      assert.deepEqual(foreign, []);
      assert.deepEqual(errors, []);
      await page.close();
    }
  });

  test(`from ${where}: a known difference is a failed check, not a failed conversion`, { skip: !designsDir }, async () => {
    const path = join(designsDir, 'known.pof');
    const { page, shown, expected } = await verifyRun(url(), path, { word: 'p6000' }, ['-device', 'p6000']);
    assert.equal(expected.status, 3);
    assert.equal(shown.statusClass, 'check-failed');
    assert.match(shown.status, /; the logic check failed \(exit status 3\): 1 known difference\.$/);
    assert.equal(shown.logicClass, 'logic known');
    assert.deepEqual(shown.lines, ['summary', 'purpose', 'known']);
    assert.deepEqual(await page.$$eval('#downloads a', (links) => links.map((link) => link.download)),
      ['known.jed', 'known.txt']);
    const listed = await openEquations(page);
    assert.equal(listed.source, runNative(new Uint8Array(readFileSync(path)), ['--equations'], 'known.pof').stdout);
    assert.equal(listed.target, runNative(expected.files['known.jed'], ['--equations'], 'known.jed').stdout);
    assert.match(listed.target, /^Design: QPL6000, /);
    await page.close();
  });

  test(`from ${where}: keyboard alone reaches Convert and the downloads`, async () => {
    const path = join(root, 'examples', 'demo7064s.pof');
    const { page, downloads } = await openPage(url());
    await loadPof(page, path);
    await page.focus('#pof');
    let focused = '';
    for (let i = 0; i < 80 && focused !== 'convert'; i++) {
      await page.keyboard.press('Tab');
      focused = await page.evaluate(() => document.activeElement.id);
    }
    assert.equal(focused, 'convert');
    await page.keyboard.press('Enter');
    assert.equal((await waitForResult(page)).exit, 0);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'result-title');
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.download), 'demo7064s.jed');
    const files = await download(page, downloads);
    const expected = runNative(new Uint8Array(readFileSync(path)), [], basename(path));
    assert.deepEqual(comparable({ ...expected, files }), comparable(expected));
    await page.close();
  });
}
