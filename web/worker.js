// The study's worker, run before the page's own module script (whose main,
// the demonstration, it does not run): takes one job at a time from the
// page and posts its figures back as bytes, transferred, not copied.
var Module = {
  noInitialRun: true,
  // The page's compiled module comes in the first message: no worker compiles its own.
  instantiateWasm(imports, receive) {
    Module.instantiate = (module) => WebAssembly.instantiate(module, imports).then((instance) => receive(instance));
    return {};
  },
  onRuntimeInitialized() { postMessage({ kind: 'ready', at: performance.timeOrigin + performance.now() }); },
};
onmessage = (event) => {
  const job = event.data;
  if (job.kind === 'module')
    return void Module.instantiate(job.module).catch((error) => postMessage({ kind: 'error', message: String(error.message || error) }));
  try {
    const error = Module.ccall('WorkerSettings', 'string', ['string'], [job.settings]);
    if (error) throw new Error(error);
    let at, length;
    if (job.kind === 'dodge') {
      job.csv = UTF8ToString(Module._WorkerDodge(job.mode, job.sidestep));
      postMessage(job);
      return;
    }
    if (job.kind === 'map') {
      at = Module._WorkerMapRows(job.first, job.last);
      length = Module._WorkerBytes();
      job.csv = UTF8ToString(Module._WorkerMapCsv());
    } else {
      at = Module._WorkerSweepPoint(job.parameter, job.value, job.values);
      length = Module._WorkerPointBytes();
    }
    const bytes = HEAPU8.slice(at, at + length);
    postMessage(Object.assign(job, { bytes }), [bytes.buffer]);
  } catch (error) {
    postMessage({ kind: 'error', message: String(error.message || error) });
  }
};
