// The studio page: draws the document, runs the tools and the dialogs, and
// hands every action to the host. Its parts: common.js (shared state),
// protocol.js (talking to the host), canvas.js (the drawing), tools.js (the
// palette, pointer and keys), picture.js (the picture the host sends),
// panels.js (the panels and the bar's buttons), dialogs.js (dialogs and
// alerts), drawing.js (the drawing tools), editing.js (the Edit menu,
// style, layers, New and help) and session.js (recovery and unsaved work).
import { note, page, view } from './common.js';
import { Picture } from './picture.js';
import { CLIENT, call, dragQueue, moveLatencies, movePhases, onAnswer, traffic } from './protocol.js';
import { canvas, fit, renderer, setScene, shownPixels, toScreen } from './canvas.js';
import { anchorsChanged, drawingState } from './drawing.js';
import { buildPalette, chooseTool, toolDragging } from './tools.js';
import { save, saveJson, showPanels, showReport } from './panels.js';
import { showModal } from './dialogs.js';

let refetching = false;

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
    else if (!refetching) {
      refetching = true;
      call({ op: 'state', picture: 0 }).finally(() => { refetching = false; });
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
  get idle() { return traffic.pending === 0 && !traffic.dragSending && dragQueue.length === 0; },
  get lastAnswerMs() { return traffic.lastAnswerAt; },
  get moveLatencies() { return moveLatencies.slice(); },
  get movePhases() { return movePhases.slice(); },
  // The renderer of the last frame ('gl' or '2d'), and the pixels shown.
  get renderer() { return renderer.last; },
  pixels: shownPixels,
  chooseTool,
  // For the page's other modules (session.js).
  call, fit, note, save, saveJson,
  client: CLIENT,
  get dragging() { return toolDragging() || dragQueue.length > 0 || !!(page.state && page.state.dragging); },
  // Whether this page's own drag is under way (its pointer events still going out).
  get draggingHere() { return toolDragging() || dragQueue.length > 0; },
  drawing: drawingState,
  get view() { return view; },
  ready: call({ op: 'state' }),
};
