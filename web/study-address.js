// The study's address: the module reads and writes it; the page hands the address over, opens what it names
// and writes back the view it shows (its settings, a place, a shot, a frame).
var StudyParts = StudyParts || {};
StudyParts.address = (S) => {
  const { $, text, call, state, fail } = S;
  // ---- the address: "#study&step=4&shots=8...&place=M,X,Y&shot=N&frame=F" ----
  // Read and written by the module alone; the page hands it over and acts on
  // the record it gets back.
  const isStudyAddress = () => Module.ccall('StudyIsAddress', 'number', ['string'], [location.hash.slice(0, 8)]) !== 0;
  function openAddress() {
    const head = location.hash.slice(0, call('StudyMostAddress') + 1); // the module reads no more
    return JSON.parse(Module.ccall('StudyOpenAddress', 'string', ['string', 'number'], [head, location.hash.length]));
  }
  function writeAddress() {
    const place = state.place || { mode: -1, x: 0, y: 0 };
    const frame = state.shot >= 0 ? Number($('study-slider').value) : 0;
    const address = text(call('StudyPageAddress', place.mode, place.x, place.y, state.shot, frame));
    state.written = address;
    if (location.hash !== address) history.replaceState(null, '', address);
  }
  function open() {
    const asked = openAddress();
    if (asked.error) return fail(`The address was not taken: ${asked.error}`);
    S.closePlace();
    state.pending = asked.place ? asked : null;
    state.pendingChart = asked.chart;
    S.start();
  }
  // ---- the page's own keys in the address: a place, a shot, a frame ----
  // The address's place (on the grid, as the module read it), its shots flown
  // (a few a task), then its shot and frame in a task of their own; then `done`.
  function restore(asked, done) {
    const place = () => S.choosePlace(asked.place.mode, asked.place.x, asked.place.y, () => setTimeout(shot));
    const shot = () => {
      if (!asked.shot) return done();
      const chosen = Number(asked.shot);
      if (!/^[0-9]+$/.test(asked.shot) || chosen >= state.trails.length)
        return fail(`The address's shot=${asked.shot} is not one of the place's shots (0 to ${state.trails.length - 1})`);
      S.chooseShot(chosen);
      if (!asked.frame) return done();
      const frame = Number(asked.frame);
      if (!/^[0-9]+$/.test(asked.frame) || frame < 1 || frame > state.frames)
        return fail(`The address's frame=${asked.frame} is not a frame of the shot (1 to ${state.frames})`);
      S.showFrame(frame);
      done();
    };
    place();
  }
  return { isStudyAddress, openAddress, writeAddress, open, restore };
};
