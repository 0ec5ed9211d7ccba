// What screen readers see of QML shown in a QQuickWidget.
//
// Qt 5 gives such QML to assistive tools as it gives a QQuickWindow of its
// own: the scene hangs under a separate top-level "Offscreen" window that
// is never shown, so every item reports itself invisible, and a disabled
// item still reports itself enabled. The layer installed here puts the
// scene's items under their view instead (the view's accessible children
// follow its child widgets), hides the offscreen window from the
// application's windows, and has each item say it is invisible only when
// it really cannot be seen (hidden, fully transparent, or clipped out of
// the view) and disabled when it is. Roles, names, actions, values and text
// stay Qt's own.
#pragma once

namespace viewaccessibility {

// Installs the layer; later calls do nothing. Interfaces Qt already made
// before the call keep their old behaviour, so call it before a view's
// document loads (the view does, when it is built).
void install();

} // namespace viewaccessibility
