// The study under the demonstration: its settings in the address, the maps
// computed by workers (a coarse grid first), one place's shots, one shot's
// moments, the sweep and the downloads. Every number and its text comes
// from the page's module (Study.cpp); the study-*.js parts are the controls
// and the drawing, each made here over one shared record of the study (S).
const study = (() => {
  const $ = (id) => document.getElementById(id);
  const text = (pointer) => UTF8ToString(pointer);
  const call = (name, ...args) => Module['_' + name](...args);
  const Size = 300, CoarseStep = 20, SweepValues = 10;
  const state = {
    workers: [], queue: [], mapKey: '', sweepKey: '', stage: '', rows: 0, arrived: 0, step: 0,
    began: 0, coarseStamp: 0, doneStamp: 0, done: false, place: null, shot: -1, frames: 0, playing: 0,
    sweepPoints: 0, charts: [], urls: {}, dodgeKey: '',
  };

  // A bad address says what is wrong, in the page and on <body>, and computes nothing.
  function fail(message) {
    $('study-message').textContent = message;
    $('study-message').hidden = false;
    document.body.dataset.study = 'error: ' + message;
  }
  function bytesOf(pointer) {
    return HEAPU8.slice(pointer, pointer + call('StudyTextLength'));
  }
  function offer(link, data, type) {
    if (state.urls[link]) URL.revokeObjectURL(state.urls[link]);
    state.urls[link] = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
    $(link).href = state.urls[link];
  }
  // A status line's words, put only when they change: each change lays the page out again.
  function say(id, words) {
    if ($(id).textContent !== words) $(id).textContent = words;
  }
  const S = { $, text, call, Size, CoarseStep, SweepValues, state, fail, offer, bytesOf, say, Modes: 0, Methods: [] }; // Modes, Methods: the module's, once it runs
  for (const make of Object.values(StudyParts)) Object.assign(S, make(S));
  function wire() {
    for (const input of $('study-settings').querySelectorAll('input, select'))
      input.addEventListener('change', () => {
        if (input.id === 'study-motion') S.showMotionInputs([]);
        S.settingsChanged();
      });
    $('study-release').addEventListener('click', () => S.hold(state.held));
    $('study-slider').addEventListener('input', () => S.showFrame(Number($('study-slider').value)));
    $('study-play').addEventListener('click', S.play);
    $('study-back').addEventListener('click', () => {
      state.shot = -1;
      S.showShotView(false);
      S.drawTrails();
      S.writeAddress();
    });
    $('study-copy').addEventListener('click', S.copyScript);
    $('study-copy-link').addEventListener('click', () => S.copied(location.href, 'study-link-copied'));
    $('study-rule-copy').addEventListener('click', S.copyRule);
    // A word's link opens the list of words at it, and leaves the study's address as it is.
    for (const link of document.querySelectorAll('#study a[href^="#study-word-"]'))
      link.addEventListener('click', (event) => {
        event.preventDefault();
        const word = $(link.getAttribute('href').slice(1));
        word.closest('details').open = true;
        word.tabIndex = -1;
        word.scrollIntoView({ block: 'center' });
        word.focus({ preventScroll: true });
      });
    // A "show me" link takes the reader to the view it changes: the maps (a
    // place's shot takes the focus to its slider once it is open; a chart is
    // taken to once the sweep is done).
    for (const link of document.querySelectorAll('#study a.show-me'))
      link.addEventListener('click', () => {
        if (link.getAttribute('href').includes('&chart=')) return;
        const maps = $('study-maps');
        maps.tabIndex = -1;
        requestAnimationFrame(() => {
          maps.scrollIntoView({ block: 'center' });
          maps.focus({ preventScroll: true });
        });
      });
    // A link to another view of the study, followed in the page.
    window.addEventListener('hashchange', () => {
      if (S.isStudyAddress() && location.hash !== state.written) S.open();
    });
  }

  // Runs each step in a task of its own, in turn: together they would hold the page's thread too long.
  function inTurn(...steps) {
    const next = () => (steps.shift()(), steps.length && setTimeout(next));
    setTimeout(next);
  }
  // The maps' panels and picture made (megabytes first touched), each in a task of its own, then `then`.
  const madeReady = (then) => inTurn(() => call('StudyMakePanels'), S.pictureCanvas, then);
  // The study's first view: the address's, or the first one, computed once the maps are in sight.
  function opened() {
    if (S.isStudyAddress()) return madeReady(S.open);
    call('StudyOpenFirstView');
    S.fillForm();
    // Nothing is computed, nor made, for a reader who only plays with the demonstration.
    const seen = new IntersectionObserver((entries) => {
      if (!entries.some((entry) => entry.isIntersecting)) return;
      seen.disconnect();
      madeReady(S.start);
    });
    seen.observe($('study-maps'));
  }
  let begun = false;
  return {
    // After the demonstration's first frame: the study's parts, its workers,
    // and its maps once they are asked for (#study) or scrolled to.
    begin() {
      if (begun) return;
      begun = true;
      S.Modes = call('StudyMethods');
      S.Methods = Array.from({ length: S.Modes }, (_, mode) => JSON.parse(text(call('StudyMethod', mode))));
      try {
        S.startWorkers(); // first: they start while the rest is made
      } catch (error) {
        return fail('The maps cannot be computed here: a worker could not start (' + error.message + ')');
      }
      inTurn(() => (S.buildMaps(), wire(), S.wireDodge()), S.drawScale, opened);
    },
    state,
  };
})();
