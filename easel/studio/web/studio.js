// The studio page: draws the document, runs the tools and the dialogs, and
// hands every action to the host. Its parts: common.js (shared state),
// protocol.js (talking to the host), canvas.js (the drawing), tools.js (the
// palette, pointer and keys), panels.js (the panels and the bar's buttons)
// and dialogs.js (dialogs and alerts).
import { note, page } from './common.js';
import { CLIENT, call, dragQueue, moveLatencies, onAnswer, traffic } from './protocol.js';
import { canvas, fit, setScene, toScreen } from './canvas.js';
import { buildPalette, chooseTool, toolDragging } from './tools.js';
import { saveJson, showPanels } from './panels.js';
import { showModal } from './dialogs.js';

// What the host answered, shown everywhere it belongs.
onAnswer((answer) => {
  if (answer.coalesced) return;
  if (answer.tools) {
    const first = !page.state;
    page.state = answer;
    if (first) buildPalette();
    showPanels();
  }
  if (answer.scene) setScene(answer.scene);
  if (answer.notices) for (const n of answer.notices) note(n.text);
  showModal();
});

// For tests and benchmarks: where a document point is on the screen, and
// how far the page has got.
window.studio = {
  toClient(x, y) { const r = canvas.getBoundingClientRect(); const [sx, sy] = toScreen(x, y); return [sx + r.left, sy + r.top]; },
  get state() { return page.state; },
  get scene() { return page.scene; },
  get pictures() { return page.pictures; },
  get idle() { return traffic.pending === 0 && !traffic.dragSending && dragQueue.length === 0; },
  get lastAnswerMs() { return traffic.lastAnswerAt; },
  get moveLatencies() { return moveLatencies.slice(); },
  chooseTool,
  // For the page's other modules (session.js).
  call, fit, note, saveJson,
  client: CLIENT,
  get dragging() { return toolDragging() || dragQueue.length > 0 || !!(page.state && page.state.dragging); },
  ready: call({ op: 'state' }),
};
