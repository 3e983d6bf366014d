// The study's workers: one per core, at most 8, each running the page's module; jobs are queued here
// and their answers handed to the maps and the sweep.
var StudyParts = StudyParts || {};
StudyParts.workers = (S) => {
  const { $, state, fail } = S;
  // ---- the workers: one per core, at most 8, each running the page's module ----
  function startWorkers() {
    const scripts = document.getElementsByTagName('script'), module = scripts[scripts.length - 1]; // the last
    // The module's script without its own copy of the compiled code: each worker is handed the page's.
    const glue = module.textContent.replace(/"data:application\/octet-stream;base64,[^"]*"/, '""');
    const source = new Blob([$('study-worker').textContent, glue], { type: 'text/javascript' });
    const url = URL.createObjectURL(source);
    const count = Math.max(1, Math.min(8, navigator.hardwareConcurrency || 2));
    for (let n = 0; n < count; ++n) {
      const began = performance.timeOrigin + performance.now();
      const entry = { worker: new Worker(url), ready: false, job: null, began, readyIn: 0 };
      Module.compiled.then((compiled) => entry.worker.postMessage({ kind: 'module', module: compiled }));
      entry.worker.onmessage = (event) => received(entry, event.data);
      entry.worker.onerror = (event) => {
        event.preventDefault();
        fail('A worker could not compute the maps: ' + (event.message || 'it did not start'));
      };
      state.workers.push(entry);
    }
  }
  function received(entry, message) {
    if (message.kind === 'ready') entry.ready = true, entry.readyIn = message.at - entry.began; // for measure.mjs
    else if (message.kind === 'error') fail('A worker could not compute the maps: ' + message.message);
    else {
      entry.job = null;
      if (message.kind === 'map' && message.key === state.mapKey) S.rowsArrived(message);
      if (message.kind === 'sweep' && message.key === state.sweepKey) S.sweepPointArrived(message);
      if (message.kind === 'dodge' && message.key === state.dodgeKey) S.dodgeArrived(message);
    }
    pump();
  }
  function pump() {
    for (const entry of state.workers)
      if (entry.ready && !entry.job && state.queue.length) {
        entry.job = state.queue.shift();
        entry.worker.postMessage(entry.job);
      }
  }
  return { startWorkers, received, pump };
};
