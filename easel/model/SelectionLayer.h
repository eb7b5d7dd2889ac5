// The current layer follows the art a person selects.
#pragma once

namespace easel {

class Document;

// After a person selected art (the studio's selection commands, the script's
// select step, the select and selectPoints edits): the layer of the frontmost
// selected art, the top-most layer holding selected art, becomes the current
// layer, where art placed above or beneath all art goes. Nothing selected: no
// change. Selection changes made by the plug-ins, undo and redo leave it.
void makeSelectionLayerCurrent(Document& doc);

}  // namespace easel
