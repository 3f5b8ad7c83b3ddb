import createFusecvt from './fusecvt.mjs';

// The page: read a POF, show its source device, offer the -device words and
// options that fit it, run the converter and offer its files for download.

const $ = (id) => document.getElementById(id);

// The command line's options as form controls. `family` names the targets
// an option acts on: "6000" the QPL6000 family, "es" the QPL6032ES/6064ES/
// 6128ES family, "all" both; `except` lists -device words it does not act on
// (the plain QPL6000 has no security bit); `byDefault` also offers it when no
// -device word is chosen (the pin keepers of the QPL6000E that a plain 7032
// goes to by default; with -device 6000e the converter ignores -pin_keep).
// Three-way options have `choices`; the first entry of their list is "not
// given", which takes the default of the source kind.
const OPTIONS = [
  { flag: '-powerdown', label: 'Power-down mode', family: '6000' },
  { flag: '-pd1', label: 'Power-down on pin PD1', family: 'es' },
  { flag: '-pd2', label: 'Power-down on pin PD2', family: 'es' },
  { flag: '-secure', label: 'Set the security bit', family: 'all', except: ['p6000'] },
  { flag: '-slew', label: 'Slew rate of all outputs', family: 'all', choices: ['auto', 'slow', 'fast'] },
  { flag: '-pinclk', label: 'Use a pin clock wherever applicable', family: 'all' },
  { flag: '-race_cover_off', label: 'Race coverage off', family: 'all' },
  { flag: '-pin_keep', label: 'Enable the pin keepers', family: 'es', byDefault: true },
  { flag: '-verbose', label: 'Report configuration changes', family: 'all' },
  { flag: '-mc_power', label: 'Low-power mode of all macrocells', family: 'es', choices: ['auto', 'on', 'off'], advanced: true },
  { flag: '-power_reset', label: 'Power-up reset hysteresis large', family: 'es', advanced: true },
  { flag: '-gclk1_itd', label: 'Disable the ITD fuse of GCLK1', family: 'es', advanced: true },
  { flag: '-gclk2_itd', label: 'Disable the ITD fuse of GCLK2', family: 'es', advanced: true },
  { flag: '-gclk3_itd', label: 'Disable the ITD fuse of GCLK3', family: 'es', advanced: true },
  { flag: '-open_out', label: 'Output type (on: open collector)', family: 'es', choices: ['auto', 'on', 'off'], advanced: true },
  { flag: '-jtag', label: 'JTAG mode', family: 'es', choices: ['auto', 'on', 'off'], advanced: true },
  { flag: '-tdi_pullup', label: 'Pull-up on TDI (enables JTAG)', family: 'es', advanced: true },
  { flag: '-tms_pullup', label: 'Pull-up on TMS (enables JTAG)', family: 'es', advanced: true },
];

const state = { converter: null, bytes: null, name: '', info: null, urls: [] };

function controlId(flag) {
  return `opt${flag.replace(/[^a-z0-9]/g, '_')}`;
}

// The -device word that decides which options apply: the chosen one, else
// the first of the source's words, which is of the family the converter
// takes by default.
function effectiveWord() {
  return $('device').value || (state.info.words[0] || '');
}

// The target a -device word names: "6032esl" is the QPL6032ESL, "p6000" the
// plain QPL6000.
function targetName(word) {
  return `QPL${word.replace(/^p/, '').toUpperCase()}`;
}

function applies(option, word) {
  if (option.except && option.except.includes(word)) return false;
  if (option.byDefault && $('device').value === '') return true;
  const family = word.includes('6000') ? '6000' : 'es';
  return option.family === 'all' || option.family === family;
}

function buildOptions() {
  const plain = $('options');
  const advanced = $('advanced');
  plain.replaceChildren();
  advanced.replaceChildren();
  for (const option of OPTIONS) {
    const id = controlId(option.flag);
    const row = document.createElement('div');
    row.className = option.choices ? 'option choice' : 'option';
    row.dataset.flag = option.flag;
    const label = document.createElement('label');
    label.htmlFor = id;
    label.append(`${option.label} `);
    const code = document.createElement('code');
    code.textContent = option.flag;
    label.append(code);
    let control;
    if (option.choices) {
      control = document.createElement('select');
      const fallback = state.info.defaults[option.flag.slice(1)] || 'not set';
      control.add(new Option(`default for this source (${fallback})`, ''));
      for (const choice of option.choices) control.add(new Option(choice, choice));
      row.append(label, control);
    } else {
      control = document.createElement('input');
      control.type = 'checkbox';
      row.append(control, label);
    }
    control.id = id;
    control.addEventListener('change', showCommand);
    (option.advanced ? advanced : plain).append(row);
  }
}

// Shows only the options that act on the chosen target.
function filterOptions() {
  const word = effectiveWord();
  for (const option of OPTIONS) {
    const row = document.querySelector(`[data-flag="${option.flag}"]`);
    row.hidden = !applies(option, word);
  }
  showCommand();
}

// The command line's words for the form, without the input name.
function commandWords() {
  const words = [];
  if ($('device').value) words.push('-device', $('device').value);
  for (const option of OPTIONS) {
    if (!applies(option, effectiveWord())) continue;
    const control = $(controlId(option.flag));
    if (option.choices) {
      if (control.value) words.push(option.flag, control.value);
    } else if (control.checked) {
      words.push(option.flag);
    }
  }
  return words;
}

function quoted(word) {
  return /^[\w.+=:,/-]+$/.test(word) ? word : `'${word.replace(/'/g, "'\\''")}'`;
}

// The words of the run: the mode word first when Verify is chosen.
function runWords() {
  return $('verify').checked ? ['--verify', ...commandWords()] : commandWords();
}

function showCommand() {
  $('command').textContent = ['fusecvt', ...runWords(), state.name].map(quoted).join(' ');
}

// One block of console text, set apart when it is a warning or an error.
function messageBlock(text, kind) {
  const block = document.createElement('div');
  block.className = `message ${kind}`;
  if (kind !== 'plain') {
    const title = document.createElement('span');
    title.className = 'kind';
    title.textContent = kind === 'error' ? 'Error' : 'Warning';
    block.append(title);
  }
  block.append(text);
  return block;
}

// How the converter's messages begin: "ERROR:", "ERROR#", "Error!", a line
// ending in "Error"; "WARNING:", "Warning!", "Warning !".
const ERROR_MARK = /(^|[\s:(])(ERROR[:#]|Error!|Error$)/m;
const WARNING_MARK = /(^|[\s(])(WARNING:|Warning ?!)/m;

// The logic check's account: the console lines that begin "Logic check: ".
const ACCOUNT_LINE = /^Logic check: .*$/gm;

// The account set apart, one line each: differences and known differences
// marked, the summary line first. Returns the summary's outcome, the text
// after "compared; " ("no difference", "1 difference, 2 known differences").
function showAccount(lines, status) {
  const account = $('account');
  account.replaceChildren();
  for (const line of lines) {
    const span = document.createElement('span');
    span.className = / compared; /.test(line) ? 'summary'
      : /: known: /.test(line) ? 'known'
        : /^Logic check: changes made on purpose:/.test(line) ? 'purpose' : 'difference';
    span.textContent = `${line}\n`;
    account.append(span);
  }
  const outcome = (lines[0] || '').replace(/^.* compared; /, '');
  const logic = $('logic');
  logic.className = status === 0 ? 'logic same' : /\d+ difference/.test(outcome) ? 'logic different' : 'logic known';
  logic.hidden = lines.length === 0;
  return outcome;
}

// The design's equations as the converter lists them; its error text when
// the file cannot be read.
function showEquations(pre, result) {
  pre.textContent = result.status === 0 ? result.stdout : result.stderr.replace(/\x07/g, '');
  pre.classList.toggle('failed', result.status !== 0);
}

// Equations of the POF and, when the run wrote one, of the JEDEC file.
function listEquations(converter, jedecName, jedecBytes) {
  showEquations($('equations-source'), converter.convert(state.bytes, ['--equations'], state.name));
  $('equations-source-title').textContent = `From the POF (${state.name})`;
  const pane = $('equations-target-pane');
  pane.hidden = !jedecName;
  if (jedecName) {
    const name = jedecName.split('/').pop();
    showEquations($('equations-target'), converter.convert(jedecBytes, ['--equations'], name));
    $('equations-target-title').textContent = `From the JEDEC file (${name})`;
  }
  $('equations').hidden = false;
}

function showMessages(container, stdout, stderr) {
  container.replaceChildren();
  const clean = (text) => text.replace(/\x07/g, '');
  for (const part of clean(stdout).split(/\n\s*\n/)) {
    if (!part.trim()) continue;
    const kind = ERROR_MARK.test(part) ? 'error' : WARNING_MARK.test(part) ? 'warning' : 'plain';
    container.append(messageBlock(part.replace(/\n+$/, ''), kind));
  }
  if (stderr.trim()) container.append(messageBlock(clean(stderr).replace(/\n+$/, ''), 'error'));
}

function clearDownloads() {
  for (const url of state.urls) URL.revokeObjectURL(url);
  state.urls = [];
  $('downloads').replaceChildren();
}

function addDownload(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  state.urls.push(url);
  const link = document.createElement('a');
  link.className = 'button';
  link.href = url;
  link.download = name.split('/').pop();
  link.textContent = `Download ${name}`;
  $('downloads').append(link);
}

async function loadFile(file) {
  if (!file) return;
  $('result').hidden = true;
  clearDownloads();
  const bytes = new Uint8Array(await file.arrayBuffer());
  const converter = await state.converter;
  const info = converter.inspect(bytes, file.name);
  state.bytes = bytes;
  state.name = file.name;
  state.info = info;
  $('source').hidden = false;
  $('source-file').textContent = file.name;
  $('source-device').textContent = info.device || 'none found';
  $('source-package').textContent = info.package || '-';
  $('source-pins').textContent = info.pins ? String(info.pins) : '-';

  const problem = $('source-problem');
  if (!info.readable || info.words.length === 0) {
    const text = (info.console + info.error).replace(/\x07/g, '').trim();
    problem.textContent = text || `${info.device || 'This file'}: no target device converts from it.`;
    problem.hidden = false;
    $('settings').hidden = true;
    return;
  }
  problem.hidden = true;
  const device = $('device');
  device.replaceChildren(new Option('default for this source (no -device)', ''));
  for (const word of info.words) device.add(new Option(`${targetName(word)} (-device ${word})`, word));
  buildOptions();
  filterOptions();
  $('settings').hidden = false;
}

async function convert(event) {
  event.preventDefault();
  const button = $('convert');
  button.disabled = true;
  clearDownloads();
  try {
    const converter = await state.converter;
    const verify = $('verify').checked;
    const started = performance.now();
    const result = converter.convert(state.bytes, runWords(), state.name);
    const ms = performance.now() - started;
    const status = $('status');
    const names = Object.keys(result.files).sort((a, b) => Number(b.endsWith('.jed')) - Number(a.endsWith('.jed')));
    const jedecName = names.find((n) => n.endsWith('.jed'));
    // Status 3 of a verify run: the JEDEC file was written and its logic
    // differs from the POF's; the conversion itself did not fail.
    const checkFailed = verify && result.status === 3 && Boolean(jedecName);
    const failed = !checkFailed && (result.status !== 0 || !jedecName);
    const lines = verify && !failed ? result.stdout.match(ACCOUNT_LINE) || [] : [];
    const outcome = showAccount(lines, result.status);
    const done = `Conversion completed in ${Math.max(1, Math.round(ms))} ms`;
    if (failed) status.textContent = `Conversion failed (exit status ${result.status}).`;
    else if (checkFailed) status.textContent = `${done}; the logic check failed (exit status 3): ${outcome}.`;
    else status.textContent = lines.length ? `${done}; logic check: ${outcome}.` : `${done}.`;
    status.className = failed ? 'failed' : checkFailed ? 'check-failed' : 'done';
    status.dataset.ms = String(ms);
    status.dataset.exit = String(result.status);
    // A failed run offers nothing to save; its report stays readable below.
    if (!failed) for (const name of names) addDownload(name, result.files[name]);
    if (verify) listEquations(converter, failed ? '' : jedecName, failed ? null : result.files[jedecName]);
    else $('equations').hidden = true;
    showMessages($('messages'), lines.length ? result.stdout.replace(ACCOUNT_LINE, '').replace(/\n+$/, '\n') : result.stdout,
      result.stderr);
    const reportName = names.find((n) => n.endsWith('.txt'));
    $('report').textContent = reportName ? new TextDecoder().decode(result.files[reportName]) : '';
    $('report').hidden = $('report-title').hidden = !reportName;
    $('result').hidden = false;
    $('result-title').focus();
  } catch (error) {
    // The module itself broke off (out of memory, say): say so; a reload
    // gives a fresh converter.
    const status = $('status');
    status.textContent = `The converter stopped: ${error}. Reload the page to convert again.`;
    status.className = 'failed';
    $('messages').replaceChildren();
    $('report').hidden = $('report-title').hidden = true;
    $('logic').hidden = $('equations').hidden = true;
    $('result').hidden = false;
  } finally {
    button.disabled = false;
  }
}

// A file dropped anywhere on the page is loaded (the browser would otherwise
// leave the page to show it); the drop box lights up while one is dragged.
function setUpDrop() {
  const drop = $('drop');
  window.addEventListener('dragover', (e) => {
    e.preventDefault();
    drop.classList.add('over');
  });
  window.addEventListener('dragleave', (e) => {
    if (!e.relatedTarget) drop.classList.remove('over');
  });
  window.addEventListener('drop', (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    if (e.dataTransfer && e.dataTransfer.files.length) loadFile(e.dataTransfer.files[0]);
  });
}

state.converter = createFusecvt();
state.converter.then(
  () => {
    $('loading').textContent = 'Converter ready.';
    document.body.dataset.ready = 'true';
  },
  (error) => {
    $('loading').textContent = `The converter could not be loaded: ${error}`;
  },
);
$('pof').addEventListener('change', (e) => loadFile(e.target.files[0]));
$('device').addEventListener('change', filterOptions);
$('verify').addEventListener('change', showCommand);
$('settings').addEventListener('submit', convert);
setUpDrop();
