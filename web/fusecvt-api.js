// The converter's interface for the page, node and the tests. The build puts
// the compiled core (createFusecvtCore, with the wasm inlined) in front of this
// text and `export default createFusecvt;` after it.

// Resolves to {convert, inspect}. Every convert call is a fresh run of the
// command line in an empty in-memory folder.
async function createFusecvt() {
  const core = await createFusecvtCore({
    print: () => {},
    printErr: () => {},
  });
  const FS = core.FS;
  const runDir = '/run';
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // Copies bytes into the module's memory; the caller frees the pointer.
  function toHeap(bytes) {
    const ptr = core._malloc(Math.max(bytes.length, 1));
    core.HEAPU8.set(bytes, ptr);
    return ptr;
  }

  function heapText(ptr, length) {
    return decoder.decode(core.HEAPU8.slice(ptr, ptr + length));
  }

  // Every path under `path` (folders before what they hold), leaving out the
  // device and process folders of the in-memory file system.
  function listTree(path, into = []) {
    for (const name of FS.readdir(path)) {
      if (name === '.' || name === '..') continue;
      const child = path === '/' ? `/${name}` : `${path}/${name}`;
      if (child === '/dev' || child === '/proc') continue;
      into.push(child);
      if (FS.isDir(FS.lstat(child).mode)) listTree(child, into);
    }
    return into;
  }

  // What the file system holds before any run; a run leaves nothing else.
  const baseline = new Set(listTree('/'));
  const addedPaths = () => listTree('/').filter((path) => !baseline.has(path));

  // Removes paths listed folders first, so what a folder holds goes before it.
  function removePaths(paths) {
    for (const path of [...paths].reverse()) {
      if (FS.isDir(FS.lstat(path).mode)) FS.rmdir(path);
      else FS.unlink(path);
    }
  }

  // A file name the in-memory folder can hold: the last path component of
  // the name, "design.pof" when nothing is left; ".pof" appended when it has
  // no '.', as the converter reads such a name.
  function plainName(name) {
    const base = String(name || '').split(/[\\/]/).pop();
    if (base === '' || base === '.' || base === '..') return 'design.pof';
    return base.includes('.') ? base : `${base}.pof`;
  }

  // Runs the converter on pofBytes with args (the command line's words
  // without the input name) in an empty folder; the POF is given the name
  // `name`, after which the JEDEC file and the report are named. Returns
  // {status, stdout, stderr, files: {name: Uint8Array}} with every file the
  // run wrote: by its name in the run folder, or by its full path when an
  // option put it elsewhere. Everything the run wrote is then removed.
  function convert(pofBytes, args = [], name = 'design.pof') {
    const input = plainName(name);
    FS.chdir('/');
    removePaths(addedPaths()); // what a run that broke off left behind
    FS.mkdir(runDir);
    FS.chdir(runDir);
    FS.writeFile(`${runDir}/${input}`, pofBytes);

    const words = ['fusecvt', ...args.map(String), input];
    const packed = encoder.encode(words.join('\0') + '\0');
    const argsPtr = toHeap(packed);
    let status;
    try {
      status = core._fusecvt_run(argsPtr, packed.length);
    } finally {
      core._free(argsPtr);
      FS.chdir('/');
    }
    const files = {};
    const added = addedPaths();
    for (const path of added) {
      if (FS.isDir(FS.lstat(path).mode)) continue;
      const relative = path.startsWith(`${runDir}/`) ? path.slice(runDir.length + 1) : path;
      if (relative !== input) files[relative] = FS.readFile(path);
    }
    removePaths(added);
    return {
      status,
      stdout: heapText(core._fusecvt_console(), core._fusecvt_console_length()),
      stderr: heapText(core._fusecvt_error(), core._fusecvt_error_length()),
      files,
    };
  }

  // What the converter's reader finds in pofBytes: {device, package, pins,
  // readable, words (the -device words of its family, the default family first),
  // defaults {slew, open_out, jtag, mc_power} ("" where the option has no
  // default for the source), console, error}; its messages name the file as
  // convert would (`name`).
  function inspect(pofBytes, name = 'design.pof') {
    const ptr = toHeap(pofBytes);
    const namePtr = toHeap(encoder.encode(`${plainName(name)}\0`));
    try {
      return JSON.parse(core.UTF8ToString(core._fusecvt_inspect(ptr, pofBytes.length, namePtr)));
    } finally {
      core._free(namePtr);
      core._free(ptr);
    }
  }

  return { convert, inspect };
}
