// The page's care for the person's work: the last session's unsaved work
// offered back, a question before Open or New replaces unsaved changes, a warning
// before leaving with unsaved changes, a drag ended when the page closes
// mid-drag, and the document kept the same as other pages on this studio
// change it. Runs after studio.js (a module too), through window.studio.

(() => {
  const studio = window.studio;
  const state = () => studio.state;

  // A question in the page's own box: resolves with the chosen answer.
  function ask(title, text, answers) {
    return new Promise((resolve) => {
      const back = document.createElement('div');
      back.id = 'ask';
      const box = document.createElement('div');
      box.setAttribute('role', 'alertdialog');
      box.setAttribute('aria-modal', 'true');
      const cap = document.createElement('div');
      cap.className = 'caption';
      cap.textContent = title;
      const body = document.createElement('p');
      body.textContent = text;
      const buttons = document.createElement('div');
      buttons.className = 'buttons';
      for (const [key, label] of answers) {
        const b = document.createElement('button');
        b.textContent = label;
        b.dataset.answer = key;
        b.addEventListener('click', () => { back.remove(); resolve(key); });
        buttons.appendChild(b);
      }
      box.append(cap, body, buttons);
      back.appendChild(box);
      document.body.appendChild(back);
      buttons.firstChild.focus();
    });
  }

  // The last session's unsaved work: restore or discard, before anything else.
  studio.ready.then(async () => {
    const r = state() && state().recovery;
    if (!r) return;
    const choice = await ask('Unsaved work',
      `The last studio session on ${state().name} ended without saving ${r.steps} step${r.steps === 1 ? '' : 's'}. ` +
      'Restore that work, or discard it?', [['recover', 'Restore'], ['discard', 'Discard']]);
    const answer = await studio.call({ op: choice === 'recover' ? 'recover' : 'discardRecovery' });
    if (answer.ok && choice === 'recover') { studio.fit(); studio.note('Restored the unsaved work of the last session'); }
  });

  // Before the document is replaced (Open, New): with unsaved changes the
  // person saves them, discards them or keeps the document. Resolves true
  // when the document may be replaced.
  studio.keepWork = async (what) => {
    if (!state() || !state().unsaved) return true;
    const choice = await ask('Unsaved changes', `${state().name} has changes that are not saved. Save them before ${what}?`,
      [['save', 'Save'], ['discard', 'Discard'], ['cancel', 'Cancel']]);
    if (choice === 'cancel') return false;
    return choice === 'discard' || await studio.save();
  };

  // Open asks first when the document has unsaved changes.
  const openInput = document.getElementById('open');
  openInput.parentElement.addEventListener('click', async (e) => {
    if (e.target === openInput || !state() || !state().unsaved) return;
    e.preventDefault();
    if (await studio.keepWork('opening another document')) openInput.click();
  }, true);

  window.addEventListener('beforeunload', (e) => {
    if (state() && state().unsaved) { e.preventDefault(); e.returnValue = ''; }
  });

  // A page that closes mid-drag ends the drag where it was: mouse up, one undo step.
  window.addEventListener('pagehide', () => {
    if (!studio.dragging) return;
    studio.call({ op: 'up', client: studio.client }, { quiet: true, bare: true, keepalive: true });
  });

  // Other pages on this studio: when the document changed, show it. While a
  // dialog is shown, only its closing elsewhere (another page answered it)
  // is looked for, so what is being typed into it is left alone.
  setInterval(async () => {
    if (document.visibilityState !== 'visible' || !state() || !studio.idle || studio.draggingHere ||
        document.getElementById('ask')) return;
    const modal = !document.getElementById('modal').hidden;
    // A check in the background: a failure is left for the next command to tell.
    const s = await studio.call({ op: 'state', scene: false }, { quiet: true, bare: true });
    if (!s.ok || !studio.idle) return;
    const closed = modal && !s.dialog && !(s.alerts && s.alerts.length);
    // A dialog or alert the page has not shown yet is shown.
    const waiting = !modal && (s.dialog || (s.alerts && s.alerts.length));
    if (closed || waiting || (!modal && s.version !== state().version)) await studio.call({ op: 'state' });
  }, 1000);
})();
