// The paint panels beside the style panel: the colour picker, the gradient
// editor and the stroke panel (colorpicker.js, gradient.js, strokepanel.js),
// with what they add to the canvas: the eyedropper and the gradient handles.
import { $ } from './common.js';
import { drawOverlay } from './canvas.js';
import { eyedropperDown, installPicker, showPicker } from './colorpicker.js';
import { activeGradient, gradientDown, installGradient, showGradient } from './gradient.js';
import { installStroke, showStroke } from './strokepanel.js';

export function installPaint() {
  const panel = document.createElement('section');
  panel.id = 'paint-panel';
  $('style-panel').after(panel);
  installPicker(panel);
  installGradient(panel);
  installStroke(panel);
}

// The gradient whose handles the canvas shows, as JSON: the overlay is
// drawn again only when they change (answers come many times a second in a drag).
let handlesShown = 'null';

export function showPaintPanels() {
  showPicker();
  showGradient();
  showStroke();
  const g = JSON.stringify(activeGradient());
  if (g !== handlesShown) {
    handlesShown = g;
    drawOverlay();
  }
}

// A press on the canvas the paint tools take (tools.js): a gradient handle, the eyedropper.
export function paintDown(e, x, y) { return gradientDown(e, x, y) || eyedropperDown(e, x, y); }
