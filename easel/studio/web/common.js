// What every part of the studio page shares: the host's last answer, the
// drawing, the chosen tool and the view, and a few helpers for the page.

export const $ = (id) => document.getElementById(id);

// The page's state, written by the module that owns each part.
export const page = {
  state: null,      // the host's last answer with everything the page shows
  scene: null,      // the drawing, with Path2D objects added
  tool: 'select',   // 'select' or a tool title
  pictures: 0,      // pictures drawn, for tests and benchmarks
  marquee: null,    // the selection rectangle being dragged, in screen pixels
};

export const view = { zoom: 1, panX: 0, panY: 0 };  // screen = doc * zoom + pan (v flipped)

// The whole text shows on hover: the status line cuts a long one short.
export function note(text) { $('status').textContent = text; $('status').title = text; }

// Unchanged text is left alone, so the page needs no new layout for it.
export function setText(el, text) { if (el.textContent !== text) el.textContent = text; }
