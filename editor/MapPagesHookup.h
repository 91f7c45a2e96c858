#pragma once
// Puts the map pages into the configuration window: the page contents on
// "Mappa" and "Mappa benzina", their menus in the menu bar, their shown
// handlers, the grids that carry the live markers, the petrol correction of
// the strip, and the window's live values behind LiveMapSource.

namespace vapora {

class TFormConfig;
class GasMapPage;
class PetrolMapPage;

struct MapPagesOfWindow {
    GasMapPage* gas = nullptr;
    PetrolMapPage* petrol = nullptr;
};

// Once, after the window has built its pages, menus and modification dialog.
MapPagesOfWindow AttachMapPages(TFormConfig& form);

} // namespace vapora
