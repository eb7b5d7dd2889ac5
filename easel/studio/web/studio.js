// The studio page: draws the document, runs the tools and the dialogs, and
// hands every action to the host. Its parts: store.js (the page's state),
// common.js (shared helpers), protocol.js (talking to the host), canvas.js
// (the drawing), tools.js (the palette and the pointer), keys.js (the
// keyboard), picture.js (the picture the host sends),
// panels.js (the panels and the bar's buttons), dialogs.js (dialogs and
// alerts), drawing.js (the drawing tools), editing.js (the Edit menu,
// style, layers, New and help) and session.js (recovery and unsaved work).
import { note } from './common.js';
import { drag, drawing, page, traffic, view } from './store.js';
import { Picture } from './picture.js';
import { CLIENT, call, onAnswer } from './protocol.js';
import { canvas, fit, setScene, shownPixels, toScreen } from './canvas.js';
import { anchorsChanged } from './drawing.js';
import { buildPalette, chooseTool, toolDragging } from './tools.js';
import { save, saveJson, showPanels, showReport } from './panels.js';
import { showModal } from './dialogs.js';
import './keys.js';
import './placement.js';

// What the host answered, shown everywhere it belongs.
onAnswer((answer) => {
  if (answer.coalesced) return;
  if (answer.tools) {
    const first = !page.state;
    page.state = answer;
    if (first) buildPalette();
    showPanels();
  }
  // A picture older than the page's (answers overtaking each other) is dropped.
  if (answer.picture && answer.picture.version > (page.scene ? page.scene.version : 0)) {
    const next = (page.scene || new Picture()).apply(answer.picture);
    // Changes to a picture the page no longer has: the whole picture is asked for again.
    if (next) {
      setScene(next);
      if (next.drawn) anchorsChanged();
    }
    else if (!traffic.refetching) {
      traffic.refetching = true;
      call({ op: 'state', picture: 0 }).finally(() => { traffic.refetching = false; });
    }
  }
  if (answer.notices) for (const n of answer.notices) if (n.kind === 'import') showReport(n); else note(n.text);
  showModal();
});

// For tests and benchmarks: where a document point is on the screen, and
// how far the page has got.
window.studio = {
  toClient(x, y) { const r = canvas.getBoundingClientRect(); const [sx, sy] = toScreen(x, y); return [sx + r.left, sy + r.top]; },
  get state() { return page.state; },
  get scene() { return page.scene && page.scene.plain(); },
  get drawn() { return page.scene !== null; },
  get objectCount() { return page.scene ? page.scene.n : 0; },
  get pictures() { return page.pictures; },
  get idle() { return traffic.pending === 0 && !traffic.dragSending && drag.queue.length === 0; },
  get lastAnswerMs() { return traffic.lastAnswerAt; },
  get moveLatencies() { return drag.latencies.slice(); },
  get movePhases() { return drag.phases.slice(); },
  // The renderer of the last frame ('gl' or '2d'), and the pixels shown.
  get renderer() { return page.renderer; },
  pixels: shownPixels,
  chooseTool,
  // For the page's other modules (session.js).
  call, fit, note, save, saveJson,
  client: CLIENT,
  get dragging() { return toolDragging() || drag.queue.length > 0 || !!(page.state && page.state.dragging); },
  // Whether this page's own drag is under way (its pointer events still going out).
  get draggingHere() { return toolDragging() || drag.queue.length > 0; },
  drawing: { get anchors() { return drawing.anchors; } },
  get view() { return view; },
  ready: call({ op: 'state' }),
};
