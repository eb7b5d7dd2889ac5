// The page's state, all of it here: what the host last answered and the
// drawing, the view, the talk with the host, the gesture under way and what
// the drawing tools preview. Every module reads and writes it through this
// module; none keeps state of its own.

export const page = {
  state: null,      // the host's last answer with everything the page shows
  scene: null,      // the drawing, with Path2D objects added
  tool: 'select',   // 'select' or a tool title
  pictures: 0,      // pictures drawn, for tests and benchmarks
  marquee: null,    // the selection rectangle being dragged, in screen pixels
  renderer: null,   // the renderer of the last frame: 'gl' or '2d'
  shownLists: null, // the layers and swatches the panels show, as JSON
};

export const view = { zoom: 1, panX: 0, panY: 0 };  // screen = doc * zoom + pan (v flipped)

// The commands on their way to the host and back.
export const traffic = {
  pending: 0,        // commands sent and not yet answered
  background: 0,     // of those, the page's own checks (quiet: no busy box)
  lastAnswerAt: 0,   // ms the last answer took
  lastShownIn: 0,    // ms the page took to take in and draw the last answer
  dragSending: false,
  answered: () => {},   // takes every answer the host accepted (protocol.js onAnswer)
  busyTimer: null,      // polls the host's status while the busy box shows
  refetching: false,    // the whole picture has been asked for again
  dialogChain: Promise.resolve(),  // a dialog's commands, in the order the person gave them
};

// A tool's drag: its events waiting to go, one at a time, and how long the
// moves took to reach the screen.
export const drag = {
  queue: [],
  latencies: [],  // ms from a pointer move to the painted frame that shows it
  phases: [],     // per move: [ms until the answer arrived, ms to take it in and draw it]
};

// The pointer and keys on the canvas.
export const pointer = {
  gesture: null,    // {kind: 'pan' | 'edit' | 'click' | 'marquee' | 'drag', ...} while a button is down
  spaceDown: false, // Space held: a drag pans
};

// The page's own drawing tools (drawing.js).
export const drawing = {
  // The paint new art takes, and the shape options (set in the style panel).
  style: { fill: { swatch: 'White' }, stroke: { swatch: 'Black' }, strokeWidth: 1, radius: 0, sides: 6, points: 5, inner: 0.5 },
  preview: null,        // what a gesture shows before the host has it: {kind, ...}
  anchors: [],          // direct selection: [{id, segments: [[h, v, inH, inV, outH, outV, selected]]}]
  pen: null,            // the pen's path until closed or finished: {anchors}
  anchorsLoading: null, // the anchors being fetched again
};

// The Type tool (text.js): the settings new text takes, the text being
// edited in place and the box being dragged.
export const typing = {
  settings: { family: 'sans-serif', fontSize: 24, weight: 'normal', style: 'normal', align: 'left', letterSpacing: 0, lineSpacing: 1.2 },
  editing: null,   // {id (null: new text), at | from and to, original, area, matrix}
  box: null,       // [x0, y0, x1, y1] in document points while a box is dragged
  families: null,  // the renderer's font families (/api/fonts), once fetched
  generic: {},     // the family the renderer draws each generic one with (/api/fonts)
};

// Exact placement (rulers.js, snapping.js, placement.js): what the view
// shows, what the pointer snaps to, the transform panel's choices.
export const placement = {
  rulers: true, grid: false, guides: true,                             // shown
  // Snapped to: guides from the start (a drawing has none until a person
  // makes them), the rest when the person turns it on in the View menu.
  snap: { grid: false, points: false, objects: false, guides: true },
  hints: [],            // the lines of the last snap, shown while a gesture lasts: {x} or {y}
  targets: null,        // what there is to snap to, gathered for one picture (snapping.js)
  guide: null,          // a guide being dragged: {axis, index (null: new), at, off (over a ruler)}
  reference: 'center',  // the transform panel's reference point
  lock: false,          // W and H keep their ratio
  angle: 0,             // turned in the panel since the selection was made
  selectionKey: '',     // the selection the angle belongs to
};
